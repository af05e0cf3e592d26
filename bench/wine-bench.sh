# shellcheck shell=bash
# What the Wine benchmark scripts share: their options and where the builds are. Source it with
# the script's own name in $bench_name (and its default number of rounds in $bench_runs, else 7);
# it sets $runs, $arch, $build, $win, the Windows build of that processor: BUILD/win64 for x64
# (Tolvane64.exe under 64-bit Wine, the default), BUILD/win for x86 (Tolvane.exe under 32-bit
# Wine, where the machine runs 32-bit programs), and $tolvane, the program's Windows path in the
# prefix.
runs=${bench_runs:-7}
arch=x64
build=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/build
while [ $# -gt 0 ]; do
    case $1 in
        --runs) runs=$2; shift 2 ;;
        --arch) arch=$2; shift 2 ;;
        *) build=$1; shift ;;
    esac
done
build=$(cd "$build" && pwd)
case $arch in
    x64) win=$build/win64 tolvane='C:\Tolvane\Tolvane64.exe' ;;
    x86) win=$build/win tolvane='C:\Tolvane\Tolvane.exe' ;;
    *) echo "$bench_name: --arch x64 or x86, not '$arch'" >&2; exit 2 ;;
esac
# bench_program FILE: the file, or the script ends saying it must be built first.
bench_program() {
    [ -f "$1" ] || { echo "$bench_name: $1 is missing: build it first" >&2; exit 1; }
}
# bench_run GROUP PROGRAM ARGS...: runs the program under the Wine of $arch in a prefix of its
# own, with the program under test copied in as the tests have it (TOLVANE_EXE).
bench_run() {
    local group=$1
    shift
    "$(dirname "${BASH_SOURCE[0]}")/../tests/wine/run-under-wine.sh" --arch "$arch" \
        --build "$build/host" --win-build "$win" --group "${group}_$arch" -- "$@" | tr -d '\r'
}
