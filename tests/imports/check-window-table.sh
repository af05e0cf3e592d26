#!/usr/bin/env bash
# Fails when the table of the window's DLLs (src/system/win32/WindowLibraries.cpp) names a
# function that is in none of the lists given, naming each one as DLL!Function: the program would
# end at its first call on the oldest Windows it is meant for, which lacks it.
#
#   check-window-table.sh TABLE.cpp LIST...
set -euo pipefail
export LC_ALL=C

if [ $# -lt 2 ]; then
    echo "usage: check-window-table.sh TABLE.cpp LIST..." >&2
    exit 2
fi
table=$1
shift
# TOLVANE_LATE(user32Dll, CreateWindowExW, 48) is USER32!CreateWindowExW.
named=$(sed -n 's/^TOLVANE_LATE(\([a-z0-9]*\)Dll, *\([A-Za-z0-9_]*\),.*/\1!\2/p' "$table" |
    awk -F! '{ print toupper($1) "!" $2 }' | sort -u)
if [ -z "$named" ]; then
    echo "check-window-table.sh: $table names no function" >&2
    exit 1
fi
allowed=$(cat "$@" | grep -v -e '^#' -e '^$' | sort -u)
unknown=$(comm -23 <(echo "$named") <(echo "$allowed"))
if [ -n "$unknown" ]; then
    echo "check-window-table.sh: $table names functions that are not in $*:" >&2
    mapfile -t names <<<"$unknown"
    printf '    %s\n' "${names[@]}" >&2
    exit 1
fi
echo "check-window-table.sh: all $(wc -l <<<"$named") functions of $(basename "$table") are listed"
