#!/usr/bin/env bash
# The English translation (translations/qvlink_en.ts) against the program's texts.
#   scripts/translations.sh update   adds new texts to the .ts (then translate them in Linguist)
#   scripts/translations.sh check    fails when lupdate would change the .ts, or a text is left
#                                    untranslated or no longer in the program
set -euo pipefail
cd "$(dirname "$0")/.."
LUPDATE=${LUPDATE:-$(command -v lupdate || echo /usr/lib/qt6/bin/lupdate)}
TS=translations/qvlink_en.ts
SOURCES=(app common cursors dmm dso files lang link mqtt output platform spectrum trend)
lupdate_into() {
    "$LUPDATE" -silent -locations none -no-ui-lines -source-language zh_CN -target-language en \
        -extensions cpp,h -I . "${SOURCES[@]}" "${@:2}" -ts "$1"
}
case "${1:-check}" in
update)
    lupdate_into "$TS" -no-obsolete # texts gone from the program go from the file
    ;;
check)
    scratch=$(mktemp -d)
    trap 'rm -rf "$scratch"' EXIT
    cp "$TS" "$scratch/qvlink_en.ts"
    lupdate_into "$scratch/qvlink_en.ts"
    if ! cmp -s "$TS" "$scratch/qvlink_en.ts"; then
        echo "translations: lupdate changes $TS (run scripts/translations.sh update):" >&2
        diff -u "$TS" "$scratch/qvlink_en.ts" >&2 || true
        exit 1
    fi
    if grep -nE 'type="(unfinished|vanished|obsolete)"' "$TS" >&2; then
        echo "translations: $TS has texts untranslated or gone from the program" >&2
        exit 1
    fi
    echo "translations: $TS is complete"
    ;;
*)
    echo "usage: $0 update|check" >&2
    exit 2
    ;;
esac
