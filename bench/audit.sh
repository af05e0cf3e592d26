#!/usr/bin/env bash
# Times `Tolvane.exe /audit -noaccount` under Wine against a console program that reads the same
# values and writes a short report (audit_reader.exe), and against the bare start of a console
# program, in one run, alternating the three.
#
#   bench/audit.sh [--runs N] [--arch x64|x86] [BUILD_DIR]
#
# BUILD_DIR (default: the repository's build/) holds the Windows builds in win64/ (x64, the
# default) and win/ (x86) and the Wine prefixes in host/. Builds nothing. Prints every round, the medians, Tolvane's median over the
# bare console's, and Tolvane's ratio to the reader and to the bare console as the median of the
# rounds' own ratios with the lowest and highest of them.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
bench_name=audit.sh
# shellcheck source-path=SCRIPTDIR source=wine-bench.sh
source "$here/wine-bench.sh"
timer=$win/bench/audit_time.exe
reader=$win/bench/audit_reader.exe
bare=$win/bench/bare_console.exe
bench_program "$timer"
bench_program "$reader"
bench_program "$bare"
# Tolvane runs from its copy inside the prefix (TOLVANE_EXE), where its report goes too.
bench_run bench_audit "$timer" "$runs" "$tolvane" "Z:${reader//\//\\}" "Z:${bare//\//\\}"
