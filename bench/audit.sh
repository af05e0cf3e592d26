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
bench_name=audit.sh
# shellcheck source-path=SCRIPTDIR source=wine-bench.sh
source "$here/wine-bench.sh"
timer=$build/win/bench/audit_time.exe
bare=$build/win/bench/bare_console.exe
bench_program "$timer"
bench_program "$bare"
# Tolvane runs from its copy inside the prefix (TOLVANE_EXE), where its report goes too.
"$here/../tests/wine/run-under-wine.sh" --build "$build/host" --win-build "$build/win" \
    --group bench_audit -- "$timer" "$runs" 'C:\Tolvane\Tolvane.exe' "Z:${bare//\//\\}" |
    tr -d '\r'
