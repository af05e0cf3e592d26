#!/usr/bin/env bash
# Fails when a program imports a function that the Windows it is built for does not export,
# naming each one as DLL!Function: the loader would refuse to start the program there. The
# allowed functions are the union of the lists given (Windows 2000 SP4's, and for Tolvane64.exe
# also those that only the x64 editions export).
#
#   check-imports.sh OBJDUMP EXE ALLOWLIST...
set -euo pipefail
export LC_ALL=C

if [ $# -lt 3 ]; then
    echo "usage: check-imports.sh OBJDUMP EXE ALLOWLIST..." >&2
    exit 2
fi
objdump=$1 exe=$2
shift 2
lists=("$@")
if ! command -v "$objdump" >/dev/null; then
    echo "check-imports.sh: no $objdump (scripts/setup installs the mingw-w64 binutils)" >&2
    exit 1
fi
if [ ! -f "$exe" ]; then
    echo "check-imports.sh: $exe does not exist (build the Windows targets first)" >&2
    exit 1
fi

allowed=
for allowlist in "${lists[@]}"; do
    names=$(grep -v -e '^#' -e '^$' "$allowlist" || true)
    if ! sort -c -u <<<"$names" 2>/dev/null; then
        echo "check-imports.sh: $allowlist must be sorted and without repeats (LC_ALL=C sort -u)" >&2
        exit 1
    fi
    allowed+=$names$'\n'
done
allowed=$(sed '/^$/d' <<<"$allowed" | sort -u)

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
    echo "check-imports.sh: $exe imports functions that are not in ${lists[*]}:" >&2
    mapfile -t names <<<"$unknown"
    printf '    %s\n' "${names[@]}" >&2
    echo "The oldest Windows it is meant for would refuse to start it. Reach such a function" \
         "through GetProcAddress, or add it to a list if that Windows exports it." >&2
    exit 1
fi
echo "check-imports.sh: all $(wc -l <<<"$imports") imports of $(basename "$exe")" \
     "are in $(basename -a "${lists[@]}" | paste -sd+)"
