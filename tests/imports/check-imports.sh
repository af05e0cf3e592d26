#!/usr/bin/env bash
# Fails when Tolvane.exe imports a function that Windows 2000 SP4 does not export, naming each
# one as DLL!Function: the loader would refuse to start the program there.
#
#   check-imports.sh OBJDUMP EXE ALLOWLIST
set -euo pipefail
export LC_ALL=C

if [ $# -ne 3 ]; then
    echo "usage: check-imports.sh OBJDUMP EXE ALLOWLIST" >&2
    exit 2
fi
objdump=$1 exe=$2 allowlist=$3
if ! command -v "$objdump" >/dev/null; then
    echo "check-imports.sh: no $objdump (scripts/setup installs binutils-mingw-w64-i686)" >&2
    exit 1
fi
if [ ! -f "$exe" ]; then
    echo "check-imports.sh: $exe does not exist (build the Windows targets first)" >&2
    exit 1
fi

allowed=$(grep -v -e '^#' -e '^$' "$allowlist" || true)
if ! sort -c -u <<<"$allowed" 2>/dev/null; then
    echo "check-imports.sh: $allowlist must be sorted and without repeats (LC_ALL=C sort -u)" >&2
    exit 1
fi

# One "DLL!Function" a line, the DLL in capitals without its extension; an import by number
# shows as DLL!#N.
imports=$("$objdump" -p "$exe" | awk '
    /^\tDLL Name: / { dll = toupper($3); sub(/\.DLL$/, "", dll); next }
    /^[[:space:]]*$/ { dll = ""; next }
    dll != "" && $1 ~ /^[0-9a-f]+$/ && $2 ~ /^[0-9]+$/ && NF >= 3 {
        print dll "!" ($3 == "<none>" ? "#" $2 : $3)
    }' | sort -u)
if [ -z "$imports" ]; then
    echo "check-imports.sh: found no imports in $exe" >&2
    exit 1
fi

unknown=$(comm -23 <(echo "$imports") <(echo "$allowed"))
if [ -n "$unknown" ]; then
    echo "check-imports.sh: $exe imports functions that are not in $allowlist:" >&2
    mapfile -t names <<<"$unknown"
    printf '    %s\n' "${names[@]}" >&2
    echo "Windows 2000 SP4 would refuse to start it. Reach such a function through" \
         "GetProcAddress, or add it to the list if Windows 2000 SP4 exports it." >&2
    exit 1
fi
echo "check-imports.sh: all $(wc -l <<<"$imports") imports of $(basename "$exe")" \
     "are in the Windows 2000 SP4 list"
