#!/usr/bin/env bash
# Times `Tolvane.exe /audit -noaccount` under Wine against the bare start of a console program,
# in one run, alternating the two.
#
#   bench/audit.sh [--runs N] [BUILD_DIR]
#
# BUILD_DIR (default: the repository's build/) holds the Windows build in win/ and the Wine
# prefixes in host/. Builds nothing. Prints every round, the medians and their ratio.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
runs=7
build=$here/../build
while [ $# -gt 0 ]; do
    case $1 in
        --runs) runs=$2; shift 2 ;;
        *) build=$1; shift ;;
    esac
done
build=$(cd "$build" && pwd)
timer=$build/win/bench/audit_time.exe
bare=$build/win/bench/bare_console.exe
for file in "$timer" "$bare"; do
    [ -f "$file" ] || { echo "audit.sh: $file is missing: build it first" >&2; exit 1; }
done
# Tolvane runs from its copy inside the prefix (TOLVANE_EXE), where its report goes too.
"$here/../tests/wine/run-under-wine.sh" --build "$build/host" --win-build "$build/win" \
    --group bench_audit -- "$timer" "$runs" 'C:\Tolvane\Tolvane.exe' "Z:${bare//\//\\}" |
    tr -d '\r'
