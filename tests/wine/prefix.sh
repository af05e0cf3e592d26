# shellcheck shell=bash
# Wine prefixes for the tests, kept inside the build folder: one template made once, then a
# fresh copy for each test group, so groups start from a clean machine and can run in parallel.
# Source this file; it defines functions only.

# Bump when the template's recipe changes, so existing templates are made again.
TOLVANE_TEMPLATE_RECIPE=4

# The environment every Wine command of the tests runs with.
tolvane_wine_env() {
    export WINEARCH=win32
    export WINEDEBUG=-all
    # No Mono or Gecko prompts: the program needs neither.
    export WINEDLLOVERRIDES="mscoree,mshtml="
    # With LANG=C, non-ASCII command-line words reach the Windows side mangled.
    export LANG=C.UTF-8
    unset LC_ALL
}

# Exit code of a Wine test that could not run here (CTest's SKIP_RETURN_CODE).
TOLVANE_WINE_SKIPPED=77

# Wine's loader for 32-bit programs needs a kernel that runs 32-bit programs; some are built or
# started without that ("ia32_emulation"). Says why on standard error when it cannot run.
tolvane_wine_can_run() {
    local why
    if why=$(wine --version 2>&1); then
        return 0
    fi
    echo "Wine cannot run on this machine: ${why##*$'\n'}" >&2
    if dmesg 2>/dev/null | grep -q '32-bit emulation disabled'; then
        echo "The kernel runs no 32-bit programs (32-bit emulation disabled; ia32_emulation=on at boot enables it)." >&2
    fi
    return 1
}

# Makes BUILD/wine/template once; parallel callers wait on a lock and reuse it. A template made
# by another recipe or another Wine version is made again.
tolvane_template_ensure() {
    local build=$1
    local template=$build/wine/template
    local recipe
    recipe="$TOLVANE_TEMPLATE_RECIPE $(wine --version)"
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
                wine wineboot -i
                # Without a window manager, Wine waits 2 s on each hide or close of a window.
                wine reg add "HKCU\\Software\\Wine\\X11 Driver" /v Managed /d N /f
                # The tests put stand-ins for net.exe and hh.exe into the prefix; they must win
                # over the built-in ones.
                wine reg add "HKCU\\Software\\Wine\\DllOverrides" /v net.exe /d native /f
                wine reg add "HKCU\\Software\\Wine\\DllOverrides" /v hh.exe /d native /f
                wineserver -w
            ' >"$build/wine/template.log" 2>&1 && break
            if [ "$attempt" -eq 3 ]; then
                echo "prefix.sh: making the Wine template failed, see $build/wine/template.log" >&2
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
        echo "prefix.sh: Wine template made in $(((now - ${started/[.,]/}) / 1000)) ms" >&2
    ) 9>"$build/wine/template.lock"
}

# Replaces BUILD/wine/GROUP with a fresh copy of the template.
tolvane_prefix_fresh() {
    local build=$1 group=$2
    local prefix=$build/wine/$group
    tolvane_template_ensure "$build" || return 1
    WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
    rm -rf "$prefix"
    cp -a "$build/wine/template" "$prefix"
}

# Puts the stand-in net.exe (also as convert.exe and hh.exe) into the prefix and Tolvane.exe at
# C:\Tolvane, so that
# files the program extracts beside itself stay inside the prefix. Either may be missing.
tolvane_prefix_install() {
    local prefix=$1 win_build=$2
    local net=$win_build/tests/netstandin/net.exe
    if [ -f "$net" ]; then
        cp "$net" "$prefix/drive_c/windows/system32/net.exe"
        # The same stand-in answers for the drive conversion and the help viewer: it only logs
        # their command lines.
        cp "$net" "$prefix/drive_c/windows/system32/convert.exe"
        cp "$net" "$prefix/drive_c/windows/hh.exe"
    else
        echo "prefix.sh: warning: no $net, Wine's own net.exe stays (it knows no 'net user')" >&2
    fi
    mkdir -p "$prefix/drive_c/Tolvane"
    if [ -f "$win_build/Tolvane.exe" ]; then
        cp "$win_build/Tolvane.exe" "$prefix/drive_c/Tolvane/Tolvane.exe"
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
