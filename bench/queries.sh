#!/usr/bin/env bash
# Times under Wine the account probe's two `net user` queries started through cmd.exe against
# net.exe started directly, and the two registry imports that close port 135 started through
# `Cmd /C REGEDIT` against regedit.exe started directly, in one run, alternating the ways.
#
#   bench/queries.sh [--runs N] [--arch x64|x86] [BUILD_DIR]
#
# BUILD_DIR (default: the repository's build/) holds the Windows builds in win64/ (x64, the
# default) and win/ (x86) and the Wine prefixes in host/. Builds nothing. N rounds (default 31) after one uncounted warm-up round.
# Prints every round, each way's median, and old/new as the median of the rounds' own ratios
# with the lowest and highest of them. net.exe is the stand-in of the tests, which the runner
# puts into the prefix.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
bench_name=queries.sh
bench_runs=31
# shellcheck source-path=SCRIPTDIR source=wine-bench.sh
source "$here/wine-bench.sh"
program=$win/bench/queries_time.exe
bench_program "$program"
bench_run bench_queries "$program" "$runs"
