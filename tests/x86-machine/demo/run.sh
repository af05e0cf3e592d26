# Runs inside the emulated machine (scripts/x86-machine run; see tests/x86-machine/demo/check):
# that its kernel starts 32-bit programs, then a 32-bit prefix running a 32-bit console program,
# and a 64-bit prefix running it under WOW64 beside a 64-bit one, before and after the Windows
# version is set. Writes each program's output, the passed and failed checks (checks.txt), the
# times (times.txt) and the prefixes' sizes (sizes.txt) to the results folder $1; exits 1 when a
# check failed.
set -uo pipefail  # no -e: every check runs and is counted

results=$1
wine32=/usr/lib/wine/wine
wine64=/usr/lib/wine/wine64
# The tree's /usr/lib/wine/wineserver is a wrapper that starts wineserver64 with -p0; both
# loaders start it, so the 64-bit server serves both prefixes.
server=/usr/lib/wine/wineserver64
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LANG=C.UTF-8
passed=0 failed=0

check() {  # WHAT COMMAND...: one check, counted
    local what=$1
    shift
    if "$@"; then
        passed=$((passed + 1)); echo "PASS $what" | tee -a "$results/checks.txt"
    else
        failed=$((failed + 1)); echo "FAIL $what" | tee -a "$results/checks.txt"
    fi
}
says() {  # FILE TEXT: FILE's one line is TEXT
    local line
    line=$(tr -d '\r' <"$1")
    [ "$line" = "$2" ] || { echo "  $1 says '$line', not '$2'"; return 1; }
}
says_vista_or_newer() {  # FILE: FILE's line names a Windows version 6 or later
    local line
    line=$(tr -d '\r' <"$1")
    if [[ $line =~ Windows\ ([0-9]+)\. ]] && [ "${BASH_REMATCH[1]}" -ge 6 ]; then return 0; fi
    echo "  $1 says '$line'"
    return 1
}

timed() {  # NAME COMMAND...: runs COMMAND, its output in NAME.log, its time in times.txt
    local name=$1 start end code=0
    shift
    start=$(date +%s%N)
    "$@" >"$results/$name.log" 2>&1 || code=$?
    end=$(date +%s%N)
    printf '%-28s %6.1f s\n' "$name" "$(( (end - start) / 1000000 ))e-3" | tee -a "$results/times.txt"
    return "$code"
}

# A program's run: its output alone in NAME.txt (Wine's own messages go to NAME.log).
program() {  # NAME LOADER PREFIX EXE
    WINEPREFIX=$3 timed "$1" sh -c '"$1" "$2" >"$3"' _ "$2" "$4" "$results/$1.txt"
}

make_prefix() {  # NAME WINEARCH LOADER PREFIX
    WINEARCH=$2 WINEPREFIX=$4 timed "$1" xvfb-run -a "$3" wineboot -i
}

set_version() {  # LOADER PREFIX VERSION
    WINEPREFIX=$2 timed "version-$3" "$1" reg add 'HKCU\Software\Wine' /v Version /t REG_SZ /d "$3" /f &&
        WINEPREFIX=$2 "$server" -w
}

echo "booted: $(cut -d' ' -f1 /proc/uptime) s after the guest kernel started" | tee "$results/times.txt"
check "the kernel starts 32-bit programs (scripts/runs-32-bit-programs)" \
    bash ./runs-32-bit-programs

# The prefixes live on the system disk: /tmp is in the guest's RAM, too small for both.
sizes() { du -sm "$1" | awk -v n="$2" '{ printf "%-28s %6d MiB\n", n, $1 }' >>"$results/sizes.txt"; }

# The 32-bit prefix.
p32=/var/tmp/prefix32
check "a 32-bit prefix is made" make_prefix wineboot-32 win32 "$wine32" $p32
pgrep -a wineserver >"$results/wineserver-after-wineboot-32.txt"
WINEPREFIX=$p32 "$server" -w
check "a 32-bit prefix has no WOW64 view" test ! -d $p32/drive_c/windows/syswow64
check "the 32-bit program runs in the 32-bit prefix" program hello32-prefix32-default "$wine32" $p32 ./hello32.exe
check "a new prefix shows a Windows newer than the program supports" \
    says_vista_or_newer "$results/hello32-prefix32-default.txt"
check "the version is set to winxp" set_version "$wine32" $p32 winxp
check "the 32-bit program runs again" program hello32-prefix32-winxp "$wine32" $p32 ./hello32.exe
check "and sees XP, not under WOW64" says "$results/hello32-prefix32-winxp.txt" \
    "hello: 32-bit, Windows 5.1.2600, WOW64 no"
check "a second run, its server started" program hello32-prefix32-again "$wine32" $p32 ./hello32.exe
WINEPREFIX=$p32 "$server" -k
sizes $p32 "32-bit prefix"
rm -rf $p32

# The 64-bit prefix: the same 32-bit program under WOW64, and a 64-bit one.
p64=/var/tmp/prefix64
check "a 64-bit prefix is made" make_prefix wineboot-64 win64 "$wine64" $p64
pgrep -a wineserver >"$results/wineserver-after-wineboot-64.txt"
WINEPREFIX=$p64 "$server" -w
check "a 64-bit prefix has a WOW64 view" test -d $p64/drive_c/windows/syswow64
check "the version is set to win2003" set_version "$wine64" $p64 win2003
check "the 32-bit program runs in the 64-bit prefix (32-bit loader)" \
    program hello32-prefix64-wine "$wine32" $p64 ./hello32.exe
check "and sees Server 2003 under WOW64" says "$results/hello32-prefix64-wine.txt" \
    "hello: 32-bit, Windows 5.2.3790, WOW64 yes"
check "the 32-bit program runs in the 64-bit prefix (64-bit loader)" \
    program hello32-prefix64-wine64 "$wine64" $p64 ./hello32.exe
check "and sees Server 2003 under WOW64 too" says "$results/hello32-prefix64-wine64.txt" \
    "hello: 32-bit, Windows 5.2.3790, WOW64 yes"
check "the 64-bit program runs in the 64-bit prefix" \
    program hello64-prefix64 "$wine64" $p64 ./hello64.exe
check "and sees Server 2003, not under WOW64" says "$results/hello64-prefix64.txt" \
    "hello: 64-bit, Windows 5.2.3790, WOW64 no"
WINEPREFIX=$p64 "$server" -k
sizes $p64 "64-bit prefix"

echo "run.sh ended: $(cut -d' ' -f1 /proc/uptime) s after the guest kernel started" | tee -a "$results/times.txt"
echo "demo: $passed passed, $failed failed" | tee -a "$results/checks.txt"
[ "$failed" -eq 0 ]
