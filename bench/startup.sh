#!/usr/bin/env bash
# Times Tolvane's start-up against a minimal window program, both run in one Wine session.
#
#   bench/startup.sh [--runs N] [--warmup N] [--poll-ms N] [--windows NAME]
#                    [--tolvane EXE --tolvane-class CLASS] [BUILD_DIR]
#
# BUILD_DIR (default: the repository's build/) holds the Windows build in its win/ folder and the
# Linux one, where the Wine prefixes live, in host/; a Windows build folder alone works too (the
# prefixes then go where tests/wine/run-under-wine.sh puts them by default). This script builds
# nothing. Both programs run in one Wine session, alternating, N counted runs each (default 7)
# after one uncounted warm-up round; each run is timed from process creation to the program's
# visible, enabled main window. Prints every run, then the medians, their ratio, Tolvane's median
# CPU time up to that moment and the size of Tolvane.exe. Figures only: nothing is judged here.
# Tolvane runs twice a round, with its account probe and with -noaccount. It runs as the tests run it, from its copy inside the prefix, with the stand-in net.exe,
# on the Windows version --windows names (win2k, winxp or win2003; default winxp): Wine's own
# default is one that Tolvane refuses.
# --tolvane and --tolvane-class put another program in Tolvane's place (for trying the bench).
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/.." && pwd)
runner=${TOLVANE_WINE_RUNNER:-$root/tests/wine/run-under-wine.sh}

runs=7
warmup=1
poll_ms=2
windows=winxp
tolvane=
tolvane_class=TolvaneMain
build=$root/build

usage() {
    sed -n '4,5p' "${BASH_SOURCE[0]}" | sed 's/^# *//' >&2
    exit 2
}
number() { [[ $2 =~ ^[0-9]+$ ]] || { echo "startup.sh: $1 wants a number" >&2; exit 2; }; }

while [ $# -gt 0 ]; do
    case $1 in
        --runs) number "$1" "${2-}"; runs=$2; shift 2 ;;
        --warmup) number "$1" "${2-}"; warmup=$2; shift 2 ;;
        --poll-ms) number "$1" "${2-}"; poll_ms=$2; shift 2 ;;
        --windows) windows=${2-}; shift 2 ;;
        --tolvane) tolvane=${2-}; shift 2 ;;
        --tolvane-class) tolvane_class=${2-}; shift 2 ;;
        -h | --help) usage ;;
        -*) usage ;;
        *) build=$1; shift ;;
    esac
done

# The Windows build is either the folder given or its win/ subfolder.
win=
folders=()
for candidate in "$build/win" "$build"; do
    if [ -f "$candidate/bench/startup_probe.exe" ]; then
        win=$(cd "$candidate" && pwd)
        break
    fi
done
if [ -z "$win" ]; then
    echo "startup.sh: no bench/startup_probe.exe under $build or $build/win" >&2
    exit 1
fi
folders+=(--win-build "$win")
if [ "$win" = "$(cd "$build" && pwd)/win" ]; then
    folders+=(--build "$(cd "$build" && pwd)/host")
fi
probe=$win/bench/startup_probe.exe
minimal=$win/bench/minimal_window.exe
for file in "$minimal" "${tolvane:-$win/Tolvane.exe}"; do
    [ -f "$file" ] || { echo "startup.sh: $file is missing: build it first" >&2; exit 1; }
done
[ -x "$runner" ] || { echo "startup.sh: $runner is missing" >&2; exit 1; }

# Wine maps the Unix root to drive Z:, so a Unix path becomes a Windows one by prefix alone.
windows_path() { local p=${1//\//\\}; printf 'Z:%s' "$p"; }
if [ -n "$tolvane" ]; then
    tolvane=$(cd "$(dirname "$tolvane")" && pwd)/$(basename "$tolvane")
    tolvane_windows=$(windows_path "$tolvane")
else
    # The runner copies Tolvane.exe into the prefix and names the copy in TOLVANE_EXE; the probe
    # expands the variable.
    tolvane=$win/Tolvane.exe
    tolvane_windows='%TOLVANE_EXE%'
fi

log=$(mktemp)
trap 'rm -f "$log"' EXIT
status=0
"$runner" "${folders[@]}" --group bench -- "$probe" --poll-ms "$poll_ms" --warmup "$warmup" \
    --windows-version "$windows" --french-accounts "$runs" "$tolvane_windows" "$tolvane_class" \
    "$tolvane_windows|-noaccount" "$tolvane_class" \
    "$(windows_path "$minimal")" MinimalWindow >"$log" || status=$?

# Wine writes CR LF.
tr -d '\r' <"$log"
[ "$status" -eq 0 ] || echo "startup.sh: the probe ended with status $status" >&2

# Summary lines come in the order the programs were given: Tolvane with its account probe,
# Tolvane without it (-noaccount), then the minimal program. A program that never showed its
# window has -1 there: no figure.
field() { # index key: the key's value on that summary line
    tr -d '\r' <"$log" | awk -v want="$1" -v key="$2" '
        $1 == "summary" && ++seen == want {
            for (i = 2; i <= NF; i++) {
                split($i, kv, "=")
                if (kv[1] == key && kv[2] + 0 >= 0) print kv[2]
            }
        }'
}
ratio() {
    awk -v t="${1:--1}" -v m="${2:--1}" \
        'BEGIN { if (t > 0 && m > 0) printf "%.2f", t / m; else print "n/a" }'
}
m_median=$(field 3 median_startup_ms)

echo
for run in 1 2; do
    label=tolvane
    [ $run -eq 2 ] && label=tolvane_noaccount
    t_median=$(field $run median_startup_ms)
    echo "${label}_median_startup_ms=${t_median:-n/a}"
    echo "${label}_startup_ratio=$(ratio "$t_median" "$m_median")"
    echo "${label}_median_cpu_ms=$(field $run median_cpu_ms)"
done
echo "minimal_median_startup_ms=${m_median:-n/a}"
echo "tolvane_exe_bytes=$(stat -c %s "$tolvane")"
exit "$status"
