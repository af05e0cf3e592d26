#!/usr/bin/env bash
# Prints one line for a test layer of one build, from what run-under-wine.sh left in RESULTS:
#   LAYER ARCH: N passed, N failed, N skipped[ (NOTE)]
#   LAYER ARCH: skipped (REASON)        every group of the layer was skipped
#   LAYER ARCH: not run                 no group of the layer ran
# and exits 0 when the layer ran at least one test and none failed, 1 when a test failed, 2 when
# it ran no test. A group that ended badly without a GoogleTest report (a crash, a timeout)
# counts as one failed test, so that it cannot pass unseen.
#
#   count-layers.sh RESULTS LAYER ARCH [NOTE]     LAYER is platform or e2e, ARCH x64, x86 or wow64
set -euo pipefail

if [ $# -lt 3 ]; then
    echo "usage: count-layers.sh RESULTS LAYER ARCH [NOTE]" >&2
    exit 2
fi
results=$1 layer=$2 arch=$3 note=${4:-}

# "passed failed skipped" of a GoogleTest XML report.
count_report() {
    awk '
        function finish() {
            if (failed) f++; else if (skipped) s++; else p++
            open = 0
        }
        /<testcase / {
            if (open) finish()
            open = 1; failed = 0
            skipped = ($0 ~ /result="skipped"/ || $0 ~ /status="notrun"/)
            if ($0 ~ /\/>[[:space:]]*$/) finish()
            next
        }
        /<failure/ { failed = 1 }
        /<\/testcase>/ { if (open) finish() }
        END { if (open) finish(); print p + 0, f + 0, s + 0 }' "$1"
}

passed=0 failed=0 skipped=0 groups=0 skipped_groups=0 reason= broken=()
shopt -s nullglob
for status_file in "$results/${layer}_$arch".status "$results/${layer}_${arch}_"*.status; do
    [ -f "$status_file" ] || continue
    group=$(basename "$status_file" .status)
    groups=$((groups + 1))
    status=$(cat "$status_file")
    report=$results/$group.xml
    if [[ $status == skipped* ]]; then
        skipped_groups=$((skipped_groups + 1))
        reason=${status#skipped }
        continue
    fi
    p=0 f=0 s=0
    [ -s "$report" ] && read -r p f s < <(count_report "$report")
    # A run that failed although its report shows no failure ended badly after its tests, or
    # before it wrote its report.
    if [ "$status" != passed ] && [ "$f" -eq 0 ]; then
        f=1
        broken+=("$group ${status#failed }")
    fi
    passed=$((passed + p)) failed=$((failed + f)) skipped=$((skipped + s))
done

label="$layer $arch:"
if [ "$groups" -eq 0 ]; then
    echo "$label not run${note:+ ($note)}"
    exit 2
fi
if [ "$skipped_groups" -eq "$groups" ]; then
    echo "$label skipped ($reason)"
    exit 2
fi
skipped=$((skipped + skipped_groups))
line="$label $passed passed, $failed failed, $skipped skipped"
extra=$note
[ ${#broken[@]} -gt 0 ] && extra+="${extra:+; }ended badly: ${broken[*]}"
echo "$line${extra:+ ($extra)}"
if [ "$failed" -gt 0 ]; then exit 1; fi
if [ "$passed" -eq 0 ]; then exit 2; fi
exit 0
