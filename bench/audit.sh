#!/usr/bin/env bash
# Times `Tolvane.exe /audit -noaccount` under Wine against a console program that reads the same
# values and writes a short report (audit_reader.exe), and against the bare start of a console
# program, in one run, alternating the three.
#
#   bench/audit.sh [--runs N] [BUILD_DIR]
#
# BUILD_DIR (default: the repository's build/) holds the Windows build in win/ and the Wine
# prefixes in host/. Builds nothing. Prints every round, the medians, Tolvane's median over the
# bare console's, and Tolvane's ratio to the reader and to the bare console as the median of the
# rounds' own ratios with the lowest and highest of them.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
bench_name=audit.sh
# shellcheck source-path=SCRIPTDIR source=wine-bench.sh
source "$here/wine-bench.sh"
timer=$build/win/bench/audit_time.exe
reader=$build/win/bench/audit_reader.exe
bare=$build/win/bench/bare_console.exe
bench_program "$timer"
bench_program "$reader"
bench_program "$bare"
# Tolvane runs from its copy inside the prefix (TOLVANE_EXE), where its report goes too.
"$here/../tests/wine/run-under-wine.sh" --build "$build/host" --win-build "$build/win" \
    --group bench_audit -- "$timer" "$runs" 'C:\Tolvane\Tolvane.exe' "Z:${reader//\//\\}" \
    "Z:${bare//\//\\}" |
    tr -d '\r'
