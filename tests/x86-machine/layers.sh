# Runs inside the emulated machine as its run.sh (scripts/x86-layers puts it there): the groups of
# layers.txt, each through tests/wine/run-under-wine.sh as on the host, with the 32-bit programs
# of the data disk (win/, wintest/). Leaves in the results folder $1: results/WAY/ (each group's
# GoogleTest report and status, for tests/wine/count-layers.sh on the host), screenshots/GROUP/
# (BMP: the host makes them PNG), prefixes/GROUP.tar.gz (the registry and program folder of a
# group that failed) and times.txt. A file `only` beside this script names the one group to run.
set -uo pipefail  # no -e: every group runs and is counted

results=$1
here=$(pwd)
build=/var/tmp/tolvane/host
mkdir -p "$build" "$results/prefixes"
# Where the platform tests find the sources of the files the build carries.
export TOLVANE_RESOURCES="Z:${here//\//\\}\\src\\resources"
only=$(cat only 2>/dev/null || true)

echo "layers: $(uname -m) kernel $(uname -r)"
if ! scripts/runs-32-bit-programs; then
    echo "layers: this machine was meant to run 32-bit programs" >&2
    exit 1
fi

run_group() {  # WAY NAME FILTER OPTIONS
    local way=$1 name=$2 filter=$3 options=$4 group program start code=0
    group=e2e_${way}_$name
    [ "$name" = platform ] && group=platform_$way
    if [ "$name" = platform ]; then
        program=$here/wintest/tests/win32/tolvane_platform_tests.exe
    else
        program=$here/wintest/tests/e2e/tolvane_e2e.exe
    fi
    start=$(date +%s)
    # shellcheck disable=SC2086  # the options are words
    bash tests/wine/run-under-wine.sh --arch "$way" --group "$group" --build "$build" --win-build "$here/win" \
        --results "$results/results/$way" --shots "$results/screenshots/$group" $options \
        -- "$program" ${filter:+"--gtest_filter=$filter"} || code=$?
    echo "$group $(($(date +%s) - start)) s, exit $code" >>"$results/times.txt"
    [ "$code" -eq 0 ] || status=1
    if [ "$code" -ne 0 ] && [ -d "$build/wine/$group" ]; then
        # What a developer looks at: the registry and the program's folder, not Wine's DLLs.
        (cd "$build/wine/$group" && tar -czf "$results/prefixes/$group.tar.gz" \
            --ignore-failed-read ./*.reg drive_c/Tolvane 2>/dev/null)
    fi
    rm -rf "$build/wine/$group"
}

# The groups to run: all, or the one asked for with the group it runs after.
groups=()
while IFS='|' read -r way name filter options after; do
    case $way in '' | '#'*) continue ;; esac
    groups+=("$way|$name|$filter|$options|$after")
done <tests/x86-machine/layers.txt
wanted=" "
for line in "${groups[@]}"; do
    IFS='|' read -r way name _ _ after <<<"$line"
    if [ -z "$only" ] || [ "$name" = "$only" ]; then
        wanted+="$way|$name $way|$after "
    fi
done

status=0
for line in "${groups[@]}"; do
    IFS='|' read -r way name filter options _ <<<"$line"
    [[ $wanted == *" $way|$name "* ]] || continue
    run_group "$way" "$name" "$filter" "$options"
done
[ -f "$results/times.txt" ] && cat "$results/times.txt"
exit "$status"
