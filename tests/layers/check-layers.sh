#!/usr/bin/env bash
# Fails when an #include of src/ runs upward in the layers, or between help/, options/ and
# ports/, naming the file and line. The layers, bottom to top:
#   resources/  system/  registry/  model/  catalogue/  help/ options/ ports/  app/
# and above them the Win32 code: system/win32/ and registry/win32/, then ui/win32/ (the window
# classes), then help/win32/, options/win32/ and ports/win32/, then app/win32/, the one place
# that builds and wires everything. A folder may include itself and anything below it; a win32/
# folder sees the portable layers only up to its own sibling's (ui/win32/ up to model/). Inside a
# folder, the files of one name (X.h and X.cpp) may include those of another only where the other
# does not include them back, however far round: no loop.
set -euo pipefail
src=${1:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)/src}

rank() {
    case $1 in
        resources) echo 0 ;;
        system) echo 1 ;;
        registry) echo 2 ;;
        model) echo 3 ;;
        catalogue) echo 4 ;;
        help | options | ports) echo 5 ;;
        app) echo 6 ;;
        system/win32) echo 7 ;;
        registry/win32) echo 8 ;;
        ui/win32) echo 9 ;;
        help/win32 | options/win32 | ports/win32) echo 10 ;;
        app/win32) echo 11 ;;
        *) echo -1 ;;
    esac
}

# The highest portable layer a win32/ folder may include.
portable_ceiling() {
    case ${1%/win32} in
        ui) rank model ;;
        *) rank "${1%/win32}" ;;
    esac
}

is_sibling() {
    case ${1%%/*} in help | options | ports) return 0 ;; *) return 1 ;; esac
}

allowed() {
    local from=$1 to=$2
    [ "$from" = "$to" ] && return 0
    local rf rt
    rf=$(rank "$from")
    rt=$(rank "$to")
    [ "$rf" -ge 0 ] && [ "$rt" -ge 0 ] || return 1
    # help/, options/ and ports/ never include one another, in either layer.
    if is_sibling "$from" && is_sibling "$to" && [ "${from%%/*}" != "${to%%/*}" ]; then
        return 1
    fi
    if [[ $from == */win32 && $to != */win32 ]]; then
        [ "$rt" -le "$(portable_ceiling "$from")" ]
        return
    fi
    [ "$rf" -gt "$rt" ]
}

status=0
# "FROM TO" for each include between two names of one folder, for the loop check.
edges=$(mktemp)
trap 'rm -f "$edges"' EXIT
while IFS= read -r file; do
    relative=${file#"$src"/}
    from=$(dirname "$relative")
    while IFS=: read -r line target; do
        # A bare name is a file of the same folder.
        to=$(dirname "$target")
        [ "$to" = . ] && to=$from && target=$from/$target
        if ! allowed "$from" "$to"; then
            echo "$relative:$line includes \"$target\", which runs against the layers" >&2
            status=1
        fi
        if [ "$to" = "$from" ] && [ "${target%.*}" != "${relative%.*}" ]; then
            echo "${relative%.*} ${target%.*}" >>"$edges"
        fi
    done < <(grep -n '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$file" |
             sed -E 's/^([0-9]+):[[:space:]]*#[[:space:]]*include[[:space:]]*"([^"]+)".*/\1:\2/')
done < <(find "$src" -name '*.h' -o -name '*.cpp' -o -name '*.rc' | sort)
if ! loops=$(tsort "$edges" 2>&1 >/dev/null) || [ -n "$loops" ]; then
    echo "check-layers: these files include one another round a loop:" >&2
    sed -n 's/^tsort: \([^:]*\)$/    \1/p' <<<"$loops" | sort -u >&2
    status=1
fi
[ $status -eq 0 ] && echo "check-layers: every include of src/ runs downward, and none round a loop"
exit $status
