#!/usr/bin/env bash
# Times closing port 135 under Wine against the two registry-editor imports alone, started
# directly as the close starts them, in one run.
#
#   bench/port135.sh [--runs N] [--arch x64|x86] [BUILD_DIR]
#
# BUILD_DIR (default: the repository's build/) holds the Windows builds in win64/ (x64, the
# default) and win/ (x86) and the Wine prefixes in host/. Builds nothing. Prints every round, the medians and their ratio.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
bench_name=port135.sh
# shellcheck source-path=SCRIPTDIR source=wine-bench.sh
source "$here/wine-bench.sh"
program=$win/bench/port135_close.exe
bench_program "$program"
bench_run bench_port135 "$program" "$runs"
