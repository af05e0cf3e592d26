#!/usr/bin/env bash
# Fails when docs/help is not what src/resources/Aide.chm was made from: a page or picture
# changed, came or went since scripts/make-help last ran.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
if ! diff -u "$root/src/resources/Aide.chm.sources" <("$root/scripts/help-sources"); then
    echo "docs/help changed since Aide.chm was made: run scripts/make-help" >&2
    exit 1
fi
