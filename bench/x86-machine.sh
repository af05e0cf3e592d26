#!/usr/bin/env bash
# Runs the benchmarks that compare Tolvane with a limit measured on the same Wine (the window's
# skeleton, the console reader, the direct queries) once with the 32-bit build inside the
# emulated machine (scripts/x86-machine), in a 32-bit prefix: their ratios, which hold across
# machines, beside the 64-bit build's on the host. Absolute times in an emulated machine mean
# nothing: it runs every instruction in software.
#
#   bench/x86-machine.sh [--runs N] [BUILD_DIR]
#
# BUILD_DIR (default: the repository's build/) holds the 32-bit build in win/. Builds nothing.
# Prints each benchmark's output as it prints it on the host; keeps it in BUILD_DIR/x86-bench/.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/.." && pwd)
runs=7
build=$root/build
while [ $# -gt 0 ]; do
    case $1 in
        --runs) runs=$2; shift 2 ;;
        *) build=$1; shift ;;
    esac
done
build=$(cd "$build" && pwd)
work=$build/x86-bench
[ -f "$build/win/Tolvane.exe" ] && [ -d "$build/win/bench" ] ||
    { echo "x86-machine.sh: $build/win has no Tolvane.exe and benchmarks: run scripts/build" >&2; exit 1; }

rm -rf "$work"
mkdir -p "$work/in/build/win/tests/netstandin" "$work/in/tests" "$work/in/scripts"
cp -r "$build/win/bench" "$work/in/build/win/"
cp "$build/win/Tolvane.exe" "$work/in/build/win/"
cp "$build/win/tests/netstandin/net.exe" "$work/in/build/win/tests/netstandin/"
cp -r "$root/bench" "$work/in/"
cp -r "$root/tests/wine" "$work/in/tests/"
cp "$root/scripts/runs-32-bit-programs" "$work/in/scripts/"
# Inside: the benchmarks with the prefixes on the guest's system disk, the programs from the
# data disk.
cat >"$work/in/run.sh" <<GUEST
set -uo pipefail
build=/var/tmp/tolvane-bench
mkdir -p "\$build/host"
ln -s "\$(pwd)/build/win" "\$build/win"
status=0
for bench in startup audit queries; do
    echo "== bench/\$bench.sh --arch x86 --runs $runs"
    bash "bench/\$bench.sh" --arch x86 --runs $runs "\$build" 2>&1 | tee "\$1/\$bench.txt" ||
        status=1
done
exit "\$status"
GUEST
"$root/scripts/x86-machine" image
"$root/scripts/x86-machine" run --timeout 3600 --console "$work/console.log" "$work/in" "$work/out" \
    >"$work/guest.log" 2>&1 || { echo "x86-machine.sh: the machine ended badly, see $work/console.log" >&2; exit 1; }
for bench in startup audit queries; do
    echo "== bench/$bench.sh, 32-bit build, in the emulated machine"
    cat "$work/out/$bench.txt"
done
