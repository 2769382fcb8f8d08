#!/usr/bin/env bash
# Fails when a translation lags the code: lupdate over the marked sources would change a .ts
# file (a text added, changed or gone), or a text is left untranslated.
# Usage: translations_in_sync.sh LUPDATE SOURCE_LIST LUPDATE_OPTION... -- TS_FILE...
set -euo pipefail
lupdate=$1 sources=$2
shift 2
options=()
while [ "$1" != "--" ]; do options+=("$1"); shift; done
shift

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
for ts in "$@"; do
    copy=$work/$(basename "$ts")
    cp "$ts" "$copy"
    "$lupdate" -silent "${options[@]}" "@$sources" -ts "$copy"
    if ! diff -u "$ts" "$copy"; then
        echo "FAIL: $ts is not in sync with the code" \
             "(cmake --build build --target update_translations refreshes it)"
        status=1
    fi
    untranslated=$(awk '/<source>/ { source = $0 } /type="unfinished"/ { print source }' "$copy")
    if [ -n "$untranslated" ]; then
        echo "FAIL: $ts has texts without a translation:"
        echo "$untranslated"
        status=1
    fi
done
[ "$status" -eq 0 ] && echo "PASS: $# translation files are in sync and complete"
exit "$status"
