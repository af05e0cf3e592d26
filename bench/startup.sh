#!/usr/bin/env bash
# Times Tolvane's start-up against a minimal window program and against the skeleton of its own
# main window, all run in one Wine session.
#
#   bench/startup.sh [--runs N] [--warmup N] [--poll-ms N] [--windows NAME] [--baseline EXE]
#                    [--tolvane EXE --tolvane-class CLASS] [--arch x64|x86] [BUILD_DIR]
#
# BUILD_DIR (default: the repository's build/) holds the Windows builds in its win64/ (x64,
# Tolvane64.exe under 64-bit Wine, the default) and win/ (x86) folders and the Linux one, where
# the Wine prefixes live, in host/; a Windows build folder alone works too (the prefixes then go
# where tests/wine/run-under-wine.sh puts them by default). This script builds
# nothing. The programs run in one Wine session, alternating, N counted rounds (default 7) after
# one uncounted warm-up round; each round runs every program once, and each run is timed from
# process creation to the program's visible, enabled main window. Prints every run, then for
# each Tolvane the median, its ratio to each other program as the median of the rounds' own
# ratios (the two runs of a round share the machine's state) with the lowest and highest of
# them, its median CPU time up to that moment and its peak working set once at rest; the ratio of
# Tolvane with its account probe to Tolvane without (the window is usable before the accounts
# answer) and the time until both account boxes held their state; then the other programs'
# medians and the size of Tolvane.exe. Figures only: nothing is judged here.
# Tolvane runs twice a round, with its account probe and with -noaccount. It runs as the tests
# run it, from its copy inside the prefix, with the stand-in net.exe, on the Windows version
# --windows names (win2k, winxp or win2003; default winxp): Wine's own default is one that
# Tolvane refuses. The minimal program is the least a window program does; the skeleton
# (window_skeleton.exe) is Tolvane's own window, menu, controls and DLLs without the reading of
# the machine.
# --baseline EXE also runs another build of Tolvane.exe (an older one), copied into the prefix
# beside the first, with and without -noaccount, and gives the ratios of the new to the old; its
# run lines name it Tolvane.exe#2.
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
baseline=
arch=x64
build=$root/build

usage() {
    sed -n '5,6p' "${BASH_SOURCE[0]}" | sed 's/^# *//' >&2
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
        --baseline) baseline=${2-}; shift 2 ;;
        --tolvane-class) tolvane_class=${2-}; shift 2 ;;
        --arch) arch=${2-}; shift 2 ;;
        -h | --help) usage ;;
        -*) usage ;;
        *) build=$1; shift ;;
    esac
done

case $arch in
    x64) win_folder=win64 exe_name=Tolvane64.exe ;;
    x86) win_folder=win exe_name=Tolvane.exe ;;
    *) echo "startup.sh: --arch x64 or x86, not '$arch'" >&2; exit 2 ;;
esac
# The Windows build is either the folder given or its win64/ (win/) subfolder.
win=
folders=(--arch "$arch")
for candidate in "$build/$win_folder" "$build"; do
    if [ -f "$candidate/bench/startup_probe.exe" ]; then
        win=$(cd "$candidate" && pwd)
        break
    fi
done
if [ -z "$win" ]; then
    echo "startup.sh: no bench/startup_probe.exe under $build or $build/$win_folder" >&2
    exit 1
fi
folders+=(--win-build "$win")
if [ "$win" = "$(cd "$build" && pwd)/$win_folder" ]; then
    folders+=(--build "$(cd "$build" && pwd)/host")
fi
probe=$win/bench/startup_probe.exe
minimal=$win/bench/minimal_window.exe
skeleton=$win/bench/window_skeleton.exe
for file in "$minimal" "$skeleton" "${tolvane:-$win/$exe_name}" ${baseline:+"$baseline"}; do
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
    tolvane=$win/$exe_name
    tolvane_windows='%TOLVANE_EXE%'
fi

programs=("$tolvane_windows" "$tolvane_class" "$tolvane_windows|-noaccount" "$tolvane_class"
    "$(windows_path "$minimal")" MinimalWindow "$(windows_path "$skeleton")" TolvaneSkeleton)
copy=()
if [ -n "$baseline" ]; then
    baseline=$(cd "$(dirname "$baseline")" && pwd)/$(basename "$baseline")
    # Started from the prefix's drive, as the new build is; an older build has the same class.
    baseline_windows="C:\\Tolvane\\Baseline\\$(basename "$baseline")"
    copy=(--copy "$(windows_path "$baseline")" "$baseline_windows")
    programs+=("$baseline_windows" TolvaneMain "$baseline_windows|-noaccount" TolvaneMain)
fi

log=$(mktemp)
trap 'rm -f "$log"' EXIT
status=0
"$runner" "${folders[@]}" --group "bench_$arch" -- "$probe" --poll-ms "$poll_ms" --warmup "$warmup" \
    --windows-version "$windows" --french-accounts "${copy[@]}" "$runs" "${programs[@]}" \
    >"$log" || status=$?

# Wine writes CR LF.
tr -d '\r' <"$log"
[ "$status" -eq 0 ] || echo "startup.sh: the probe ended with status $status" >&2

# Programs are numbered in the order they were given: 1 Tolvane with its account probe, 2 Tolvane
# without it (-noaccount), 3 the minimal program, 4 the skeleton, then 5 and 6 the baseline's
# two. A program that never showed its window has -1 there: no figure.
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
# pair_ratios NAME I J: the ratios of program I's time to program J's, round by round, as
# NAME_ratio (their median), NAME_ratio_min and NAME_ratio_max.
pair_ratios() {
    tr -d '\r' <"$log" | awk -v name="$1" -v first="$2" -v second="$3" '
        function value(field) { return substr(field, index(field, "=") + 1) }
        $1 == "run" {
            round = value($3) + 0
            ms[value($2), round] = value($4) + 0
            if (round > rounds) rounds = round
        }
        $1 == "summary" { program[++programs] = value($2) }
        END {
            n = 0
            for (r = 1; r <= rounds; r++) {
                a = ms[program[first], r]; b = ms[program[second], r]
                if (a > 0 && b > 0) {
                    # Insertion keeps them sorted: mawk has no sort of its own.
                    for (k = ++n; k > 1 && ratios[k - 1] > a / b; k--) ratios[k] = ratios[k - 1]
                    ratios[k] = a / b
                }
            }
            if (n == 0) {
                printf "%s_ratio=n/a\n%s_ratio_min=n/a\n%s_ratio_max=n/a\n", name, name, name
                exit
            }
            m = n % 2 ? ratios[(n + 1) / 2] : (ratios[n / 2] + ratios[n / 2 + 1]) / 2
            printf "%s_ratio=%.2f\n%s_ratio_min=%.2f\n%s_ratio_max=%.2f\n", name, m, name,
                ratios[1], name, ratios[n]
        }'
}
m_median=$(field 3 median_startup_ms)

echo
labels=(tolvane tolvane_noaccount minimal skeleton baseline baseline_noaccount)
for run in 1 2; do
    label=${labels[run - 1]}
    t_median=$(field $run median_startup_ms)
    echo "${label}_median_startup_ms=${t_median:-n/a}"
    echo "${label}_startup_ratio=$(ratio "$t_median" "$m_median")"
    echo "${label}_median_cpu_ms=$(field $run median_cpu_ms)"
    echo "${label}_median_peak_kb=$(field $run median_peak_kb)"
    pair_ratios "${label}_vs_minimal" $run 3
    pair_ratios "${label}_vs_skeleton" $run 4
    [ -z "$baseline" ] || pair_ratios "${label}_vs_${labels[run + 3]}" $run $((run + 4))
done
# What the account probe costs the window: the start-up with it over the one without, round by
# round; and when both account boxes held their state.
pair_ratios tolvane_vs_noaccount 1 2
echo "tolvane_median_accounts_ms=$(field 1 median_accounts_ms)"
echo "minimal_median_startup_ms=${m_median:-n/a}"
echo "skeleton_median_startup_ms=$(field 4 median_startup_ms)"
if [ -n "$baseline" ]; then
    for run in 5 6; do
        echo "${labels[run - 1]}_median_startup_ms=$(field $run median_startup_ms)"
        echo "${labels[run - 1]}_median_cpu_ms=$(field $run median_cpu_ms)"
        echo "${labels[run - 1]}_median_peak_kb=$(field $run median_peak_kb)"
    done
    echo "baseline_median_accounts_ms=$(field 5 median_accounts_ms)"
    echo "baseline_exe_bytes=$(stat -c %s "$baseline")"
fi
echo "tolvane_exe_bytes=$(stat -c %s "$tolvane")"
exit "$status"
