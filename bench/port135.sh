#!/usr/bin/env bash
# Times closing port 135 under Wine against the two registry-editor imports alone, in one run.
#
#   bench/port135.sh [--runs N] [BUILD_DIR]
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
program=$build/win/bench/port135_close.exe
[ -f "$program" ] || { echo "port135.sh: $program is missing: build it first" >&2; exit 1; }
"$here/../tests/wine/run-under-wine.sh" --build "$build/host" --win-build "$build/win" \
    --group bench_port135 -- "$program" "$runs" | tr -d '\r'
