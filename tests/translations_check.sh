#!/bin/bash
# Every caption the windows show has a translation in each .ts file: lupdate reads the sources into
# a scratch copy, and any new or changed text comes back marked unfinished.
set -euo pipefail
lupdate=$1
gui=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
status=0
for ts in "$gui"/translations/*.ts; do
    copy="$scratch/$(basename "$ts")"
    cp "$ts" "$copy"
    "$lupdate" -silent -no-obsolete -locations none "$gui" -ts "$copy"
    missing=$(python3 - "$copy" <<'PY'
import sys, xml.etree.ElementTree as ET
for ctx in ET.parse(sys.argv[1]).getroot():
    for m in ctx.findall('message'):
        if m.find('translation').get('type') == 'unfinished':
            print('  ' + ctx.find('name').text + ': ' + repr(m.find('source').text))
PY
)
    if [ -n "$missing" ]; then
        echo "$(basename "$ts") has no translation for:"
        echo "$missing"
        status=1
    fi
    if ! cmp -s "$ts" "$copy"; then
        echo "$(basename "$ts") is not up to date with the sources; run:"
        echo "  $lupdate -no-obsolete -locations none src/gui -ts src/gui/translations/$(basename "$ts")"
        status=1
    fi
done
exit $status
