# shellcheck shell=bash
# What the Wine benchmark scripts share: their options and where the builds are. Source it with
# the script's own name in $bench_name (and its default number of rounds in $bench_runs, else 7);
# it sets $runs and $build.
runs=${bench_runs:-7}
build=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/build
while [ $# -gt 0 ]; do
    case $1 in
        --runs) runs=$2; shift 2 ;;
        *) build=$1; shift ;;
    esac
done
build=$(cd "$build" && pwd)
# bench_program FILE: the file, or the script ends saying it must be built first.
bench_program() {
    [ -f "$1" ] || { echo "$bench_name: $1 is missing: build it first" >&2; exit 1; }
}
