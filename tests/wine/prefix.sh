# shellcheck shell=bash
# Wine prefixes for the tests, kept inside the build folder: one template made once, then a
# fresh copy for each test group, so groups start from a clean machine and can run in parallel.
# Source this file; it defines functions only.

# Bump when the template's recipe changes, so existing templates are made again.
TOLVANE_TEMPLATE_RECIPE=5

# The environment every Wine command of the tests runs with, for one of the ways a build runs:
#   x64    the 64-bit build in a 64-bit prefix
#   x86    the 32-bit build in a 32-bit prefix
#   wow64  the 32-bit build in a 64-bit prefix, under WOW64
# Sets TOLVANE_WINE to the loader to call: Debian's `wine` wrapper picks the 32-bit loader
# whenever wine32 is installed, even where it cannot start, so the tests name the loader itself.
# TOLVANE_WINE_SYSTEM is the prefix folder, below drive_c/windows, where the build's programs
# find the system's own (the stand-ins go there).
tolvane_wine_env() {
    case ${1:-} in
        x64)
            export WINEARCH=win64 TOLVANE_WINE=/usr/lib/wine/wine64 TOLVANE_WINE_SYSTEM=system32
            # As Debian's wrapper does where only the 64-bit Wine is installed.
            export WINELOADER=$TOLVANE_WINE
            ;;
        x86 | wow64)
            unset WINELOADER
            export TOLVANE_WINE=/usr/lib/wine/wine WINEARCH=win32 TOLVANE_WINE_SYSTEM=system32
            [ "$1" = x86 ] || export WINEARCH=win64 TOLVANE_WINE_SYSTEM=syswow64
            ;;
        *) echo "prefix.sh: tolvane_wine_env x64|x86|wow64, not '${1:-}'" >&2; return 2 ;;
    esac
    export WINEDEBUG=-all
    # No Mono or Gecko prompts: the program needs neither.
    export WINEDLLOVERRIDES="mscoree,mshtml="
    # With LANG=C, non-ASCII command-line words reach the Windows side mangled.
    export LANG=C.UTF-8
    unset LC_ALL
}

# Runs a Windows program (or a Wine tool: reg, wineboot, winepath) with the loader of the
# environment set by tolvane_wine_env.
wine() { "$TOLVANE_WINE" "$@"; }

# The Wine server both loaders start: Debian's wrapper where the wine package is installed, the
# server itself where only wine64 and wine32 are (the emulated machine). The scripts that
# xvfb-run starts call "$TOLVANE_WINESERVER".
if type -P wineserver >/dev/null; then
    TOLVANE_WINESERVER=$(type -P wineserver)
elif [ -x /usr/lib/wine/wineserver64 ]; then
    TOLVANE_WINESERVER=/usr/lib/wine/wineserver64
else
    TOLVANE_WINESERVER=/usr/lib/wine/wineserver32
fi
export TOLVANE_WINESERVER
wineserver() { "$TOLVANE_WINESERVER" "$@"; }

# The name of the build's program for a way of running it.
tolvane_exe_name() {
    case $1 in x64) echo Tolvane64.exe ;; *) echo Tolvane.exe ;; esac
}

# Exit code of a Wine test that could not run here (CTest's SKIP_RETURN_CODE).
TOLVANE_WINE_SKIPPED=77

# Whether this machine can run the tests of one way (x64, x86, wow64); says why on standard
# error when it cannot. The 32-bit ways are decided by starting a 32-bit program: the 32-bit
# loader may be installed where the kernel refuses it.
tolvane_wine_can_run() {
    local kind=$1 here why
    here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
    if [ "$kind" != x64 ]; then
        "$here/../../scripts/runs-32-bit-programs" || return 1
        if [ ! -x /usr/lib/wine/wine ]; then
            echo "the 32-bit Wine (wine32:i386) is not installed" >&2
            return 1
        fi
    fi
    local loader=/usr/lib/wine/wine64
    [ "$kind" = x64 ] || loader=/usr/lib/wine/wine
    if [ ! -x "$loader" ]; then
        echo "$loader is not installed (scripts/setup installs wine64)" >&2
        return 1
    fi
    if ! why=$("$loader" --version 2>&1); then
        echo "Wine cannot run on this machine: ${why##*$'\n'}" >&2
        return 1
    fi
}

# Makes BUILD/wine/template-WINEARCH once, for the environment of tolvane_wine_env; parallel
# callers wait on a lock and reuse it. A template made by another recipe or another Wine
# version is made again.
tolvane_template_ensure() {
    local build=$1
    local template=$build/wine/template-$WINEARCH
    local recipe
    recipe="$TOLVANE_TEMPLATE_RECIPE $WINEARCH $(wine --version)"
    mkdir -p "$build/wine"
    (
        flock 9
        if [ "$(cat "$template/.tolvane-recipe" 2>/dev/null)" = "$recipe" ]; then
            exit 0
        fi
        local partial=$template.partial started=$EPOCHREALTIME attempt
        # xvfb-run -a can lose the race for a display number to a parallel run: try again.
        for attempt in 1 2 3; do
            WINEPREFIX=$partial wineserver -k 2>/dev/null || true
            rm -rf "$partial" "$template"
            # shellcheck disable=SC2016
            WINEPREFIX=$partial xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
                set -e
                "$TOLVANE_WINE" wineboot -i
                # Without a window manager, Wine waits 2 s on each hide or close of a window.
                "$TOLVANE_WINE" reg add "HKCU\\Software\\Wine\\X11 Driver" /v Managed /d N /f
                # The tests put stand-ins for net.exe and hh.exe into the prefix; they must win
                # over the built-in ones.
                "$TOLVANE_WINE" reg add "HKCU\\Software\\Wine\\DllOverrides" /v net.exe /d native /f
                "$TOLVANE_WINE" reg add "HKCU\\Software\\Wine\\DllOverrides" /v hh.exe /d native /f
                # A new prefix of a newer Wine reports a Windows the program refuses.
                "$TOLVANE_WINE" reg add "HKCU\\Software\\Wine" /v Version /t REG_SZ /d winxp /f
                "$TOLVANE_WINESERVER" -w
            ' >"$build/wine/template-$WINEARCH.log" 2>&1 && break
            if [ "$attempt" -eq 3 ]; then
                echo "prefix.sh: making the Wine template failed, see $build/wine/template-$WINEARCH.log" >&2
                exit 1
            fi
            sleep "$attempt"
        done
        # Wine's own Tahoma and Marlett (fonts-wine) are not found where Debian installs them;
        # in the prefix's font folder they are, and the windows look as on Windows.
        cp /usr/share/wine/fonts/tahoma.ttf /usr/share/wine/fonts/tahomabd.ttf \
           /usr/share/wine/fonts/marlett.ttf "$partial/drive_c/windows/Fonts/"
        echo "$recipe" >"$partial/.tolvane-recipe"
        mv "$partial" "$template"
        local now=${EPOCHREALTIME/[.,]/}
        echo "prefix.sh: Wine template ($WINEARCH) made in $(((now - ${started/[.,]/}) / 1000)) ms" >&2
    ) 9>"$build/wine/template-$WINEARCH.lock"
}

# Replaces BUILD/wine/GROUP with a fresh copy of the template.
tolvane_prefix_fresh() {
    local build=$1 group=$2
    local prefix=$build/wine/$group
    tolvane_template_ensure "$build" || return 1
    WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
    rm -rf "$prefix"
    cp -a "$build/wine/template-$WINEARCH" "$prefix"
}

# Puts the stand-in net.exe (also as convert.exe and hh.exe) where the build's program finds
# the system's own, and the program (EXE_NAME, from WIN_BUILD) at C:\Tolvane, so that files it
# extracts beside itself stay inside the prefix. Either may be missing.
tolvane_prefix_install() {
    local prefix=$1 win_build=$2 exe_name=$3
    local net=$win_build/tests/netstandin/net.exe
    local system=$prefix/drive_c/windows/$TOLVANE_WINE_SYSTEM
    if [ -f "$net" ]; then
        cp "$net" "$system/net.exe"
        # The same stand-in answers for the drive conversion and the help viewer: it only logs
        # their command lines.
        cp "$net" "$system/convert.exe"
        cp "$net" "$prefix/drive_c/windows/hh.exe"
    else
        echo "prefix.sh: warning: no $net, Wine's own net.exe stays (it knows no 'net user')" >&2
    fi
    mkdir -p "$prefix/drive_c/Tolvane"
    if [ -f "$win_build/$exe_name" ]; then
        cp "$win_build/$exe_name" "$prefix/drive_c/Tolvane/$exe_name"
    fi
}

# Writes the first 2048 bytes of a FAT32 volume (boot sector, FSInfo sector, zeros), as
# mkfs.vfat would for a 2 GiB disk: enough for Wine to report the drive as FAT32.
tolvane_fat32_boot_sector() {
    local out=$1
    {
        printf '\xeb\x58\x90MSWIN4.1'      # 0x00 jump, OEM name
        printf '\x00\x02\x08\x20\x00\x02'  # 0x0b 512 bytes a sector, 8 a cluster, 32 reserved, 2 FATs
        printf '\x00\x00\x00\x00\xf8'      # 0x11 no root entries, no 16-bit size, fixed disk
        printf '\x00\x00\x3f\x00\xff\x00'  # 0x16 no 16-bit FAT size, 63 sectors a track, 255 heads
        printf '\x00\x00\x00\x00'          # 0x1c hidden sectors
        printf '\x00\x00\x40\x00'          # 0x20 4194304 sectors
        printf '\xf8\x0f\x00\x00'          # 0x24 4088 sectors a FAT
        printf '\x00\x00\x00\x00'          # 0x28 flags, version
        printf '\x02\x00\x00\x00\x01\x00\x06\x00'  # 0x2c root cluster 2, FSInfo 1, backup 6
        head -c 12 /dev/zero               # 0x34 reserved
        printf '\x80\x00\x29'              # 0x40 drive number, reserved, extended signature
        printf '\x10\x20\x30\x40'          # 0x43 serial number
        printf 'NO NAME    FAT32   '       # 0x47 label, 0x52 file system type
        head -c 420 /dev/zero              # 0x5a boot code
        printf '\x55\xaa'                  # 0x1fe
        printf 'RRaA'                      # 0x200 FSInfo
        head -c 480 /dev/zero
        printf 'rrAa\xff\xff\xff\xff\xff\xff\xff\xff'
        head -c 14 /dev/zero
        printf '\x55\xaa'
        head -c 1024 /dev/zero
    } >"$out"
}

# Makes drive C: of PREFIX report FAT32: Wine reads the volume's boot sector from the file that
# dosdevices/c:: points to. Restarts the prefix's wineserver so it takes effect.
tolvane_prefix_fat32() {
    local prefix=$1
    local boot=$prefix/drive_c/windows/fatboot.bin
    tolvane_fat32_boot_sector "$boot"
    boot=$(realpath "$boot")
    ln -sfn "$boot" "$prefix/dosdevices/c::"
    WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
    WINEPREFIX=$prefix wineserver -w 2>/dev/null || true
}
