#!/usr/bin/env bash
# Runs one Windows test program under Wine in Xvfb, in a fresh prefix of its own, and returns
# the program's exit code.
#
#   run-under-wine.sh [--arch x64|x86|wow64] [--group NAME] [--fat32] [--shots DIR] [--keep]
#                     [--build DIR] [--win-build DIR] [--results DIR] -- PROGRAM.exe [ARGS...]
#
# --arch       how the build runs: x64, the 64-bit build in a 64-bit prefix (the default); x86,
#              the 32-bit build in a 32-bit prefix; wow64, the 32-bit build in a 64-bit prefix
# --group      name of the prefix copy, BUILD/wine/NAME (default: the program's name); groups
#              with different names can run at the same time
# --fat32      drive C: reports the FAT32 file system (the program sees TOLVANE_FAT32=1)
# --shared     folder that every group of the build shares (default BUILD/shared/ARCH), for tests
#              that play several machines one after the other; the program sees its Windows path
#              as TOLVANE_SHARED
# --shots      folder for screenshots (default BUILD/screenshots/NAME, so that groups running
#              the same test do not overwrite each other's); the program sees its Windows path
#              as TOLVANE_SHOTS, and every .bmp it leaves there becomes a .png afterwards
# --keep       keep the group's prefix after a passing run (a failing run always keeps it, to
#              look into; a passing one frees its 600 MB)
# --build      host build folder that holds the prefixes (default: TOLVANE_BUILD or build/host)
# --win-build  mingw build folder with the program (Tolvane64.exe for x64, Tolvane.exe
#              otherwise) and the stand-in net.exe (default BUILD/../win64, or BUILD/../win)
# --results    folder for what the run counted (default BUILD/results): GROUP.xml, the GoogleTest
#              report of a GoogleTest program, and GROUP.status, one line: "passed", "failed RC"
#              or "skipped REASON"
#
# The program also sees TOLVANE_EXE, the Windows path of a copy of the program inside the
# prefix (C:\Tolvane\Tolvane64.exe), so that files the program extracts beside itself stay in the
# group's own prefix.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source-path=SCRIPTDIR source=prefix.sh
source "$here/prefix.sh"

arch=x64
group=
shared=
fat32=
shots=
keep=
build=${TOLVANE_BUILD:-$here/../../build/host}
win_build=
results=
while [ $# -gt 0 ]; do
    case $1 in
        --arch) arch=$2; shift 2 ;;
        --group) group=$2; shift 2 ;;
        --fat32) fat32=1; shift ;;
        --shots) shots=$2; shift 2 ;;
        --shared) shared=$2; shift 2 ;;
        --keep) keep=1; shift ;;
        --build) build=$2; shift 2 ;;
        --win-build) win_build=$2; shift 2 ;;
        --results) results=$2; shift 2 ;;
        --) shift; break ;;
        *) echo "run-under-wine.sh: unknown option $1" >&2; exit 2 ;;
    esac
done
if [ $# -eq 0 ]; then
    echo "usage: run-under-wine.sh [--arch x64|x86|wow64] [--group NAME] [--fat32] [--shots DIR] -- PROGRAM.exe [ARGS...]" >&2
    exit 2
fi
program=$(realpath -m "$1")
shift
mkdir -p "$build"
build=$(realpath "$build")
default_win=win64
[ "$arch" = x64 ] || default_win=win
win_build=$(realpath -m "${win_build:-$build/../$default_win}")
group=${group:-$(basename "$program" .exe)}
shots=${shots:-$build/screenshots/$group}
mkdir -p "$shots"
shots=$(realpath "$shots")
shared=${shared:-$build/shared/$arch}
mkdir -p "$shared"
shared=$(realpath "$shared")
results=${results:-$build/results}
mkdir -p "$results"
results=$(realpath "$results")
rm -f "$results/$group.xml" "$results/$group.status"
# What the run counted, for the lines scripts/test prints of each layer; "failed" until the run
# ends.
status() { echo "$*" >"$results/$group.status"; }
status "failed unfinished"
tolvane_wine_env "$arch" || exit 2
if [ ! -f "$program" ]; then
    echo "run-under-wine.sh: $program does not exist (build the Windows targets first)" >&2
    exit 1
fi

# Milliseconds since the given ${EPOCHREALTIME} reading.
elapsed_ms() {
    local now=${EPOCHREALTIME/[.,]/} then=${1/[.,]/}
    echo $(((now - then) / 1000))
}

if ! why=$(tolvane_wine_can_run "$arch" 2>&1); then
    echo "run-under-wine.sh: SKIPPED $(basename "$program") ($arch): $why" >&2
    status "skipped $why"
    exit "$TOLVANE_WINE_SKIPPED"
fi
started=$EPOCHREALTIME
tolvane_prefix_fresh "$build" "$group"
prefix=$build/wine/$group
export WINEPREFIX=$prefix
echo "run-under-wine.sh: prefix $prefix ready after $(elapsed_ms "$started") ms" >&2

exe_name=$(tolvane_exe_name "$arch")
tolvane_prefix_install "$prefix" "$win_build" "$exe_name"
export TOLVANE_EXE="C:\\Tolvane\\$exe_name"
if [ -n "$fat32" ]; then
    tolvane_prefix_fat32 "$prefix"
    export TOLVANE_FAT32=1
else
    unset TOLVANE_FAT32
fi

# Pictures newer than this mark are the run's own.
state=$(mktemp -d)
touch "$state/mark"
sleep 0.01

child=
# shellcheck disable=SC2317  # called by the trap
cleanup() {
    [ -z "$child" ] || kill "$child" 2>/dev/null || true
    WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
    rm -rf "$state"
}
trap cleanup EXIT
trap 'exit 143' TERM INT

# xvfb-run -a picks a free display by looking at lock files, which parallel runs can race for;
# when Xvfb did not start (the program never ran), try again.
rc=0
started=$EPOCHREALTIME
for attempt in 1 2 3; do
    rc=0
    # In the background, so that a timeout's TERM reaches the trap at once.
    # shellcheck disable=SC2016
    xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
        state=$1 shots=$2 program=$3 report=$4 shared=$5
        shift 5
        touch "$state/started"
        # Kept warm for the whole run; should this script be killed, it ends by itself later.
        "$TOLVANE_WINESERVER" -p30
        # A prefix maps the Unix root to drive Z:.
        windows() { local path=${1//\//\\}; echo "Z:$path"; }
        TOLVANE_SHOTS=$(windows "$shots")
        TOLVANE_SHARED=$(windows "$shared")
        # A GoogleTest program writes what it ran there; others ignore it.
        GTEST_OUTPUT=xml:$(windows "$report")
        export TOLVANE_SHOTS TOLVANE_SHARED GTEST_OUTPUT
        "$TOLVANE_WINE" "$program" "$@"
        rc=$?
        "$TOLVANE_WINESERVER" -k 2>/dev/null
        exit $rc
    ' run "$state" "$shots" "$program" "$results/$group.xml" "$shared" "$@" &
    child=$!
    wait "$child" || rc=$?
    child=
    [ -e "$state/started" ] && break
    echo "run-under-wine.sh: Xvfb did not start (attempt $attempt)" >&2
    sleep "$attempt"
done

echo "run-under-wine.sh: $(basename "$program") ($arch) ended with $rc after $(elapsed_ms "$started") ms" >&2
if [ "$rc" -eq 0 ]; then status passed; else status "failed $rc"; fi

# A picture that cannot be converted stays a .bmp; that never fails the run. Where ImageMagick is
# missing (the emulated machine), the host converts them later.
shopt -s nullglob
for picture in "$shots"/*.bmp; do
    [ -x /usr/bin/convert ] || break
    [ "$picture" -nt "$state/mark" ] || continue
    png=${picture%.bmp}.png
    part=$png.$$.part
    if /usr/bin/convert "$picture" "png:$part" 2>/dev/null && mv -f "$part" "$png"; then
        rm -f "$picture"
    else
        rm -f "$part"
        echo "run-under-wine.sh: warning: could not convert $picture" >&2
    fi
done
if [ "$rc" -eq 0 ] && [ -z "$keep" ]; then
    WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
    rm -rf "$prefix"
fi
exit "$rc"
