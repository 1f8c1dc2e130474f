#!/usr/bin/env bash
# Checks our RTF against a real RTF consumer and producer, LibreOffice:
#  1. a merge workspace that quennet-diff writes, converted to HTML by LibreOffice, shows the
#     old-only line red, the new-only line blue and the common lines black;
#  2. the same document written back as RTF by LibreOffice loads with the right line kinds:
#     its new and old versions are the new and old files again;
#  3. a workspace saved by our RTF writer, with empty lines next to every change, keeps every
#     line's kind through LibreOffice too (our writer gives each line break its own colour).
# Usage: tests/libreoffice_check.sh [path/to/quennet-diff]. Exit 0 passed, 1 failed, 77 skipped
# (LibreOffice is not installed).
set -euo pipefail

cli=$(realpath "${1:-$(dirname "$0")/../build/quennet-diff}")
lo=$(command -v libreoffice || command -v soffice || true)
if [ -z "$lo" ]; then
  echo "SKIP: libreoffice is not installed"
  exit 77
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
export HOME="$work" # a throw-away LibreOffice profile

printf 'unit Demo;\r\ninterface\r\nconst Kept = 1;\r\nconst OldOnly = 2;\r\nimplementation\r\nend.\r\n' > old.pas
printf 'unit Demo;\r\ninterface\r\nconst Kept = 1;\r\nconst NewOnly = 3;\r\nimplementation\r\nend.\r\n' > new.pas

"$cli" old.pas new.pas --workspace ws.rtf >/dev/null || [ $? -eq 1 ]

fail=0
check() { # description, command...
  local what=$1
  shift
  if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; fail=1; fi
}

# 1. LibreOffice reads our RTF: colours where we wrote them.
"$lo" --headless --convert-to html --outdir html ws.rtf >/dev/null 2>&1
html=html/ws.html
check "LibreOffice converted the workspace to HTML" test -s "$html"
# One paragraph per line; a paragraph's text sits inside a font element with its colour.
flat=$(tr -d '\r\n' < "$html" | sed 's/<p/\n<p/g')
colour_of() { # line text -> colour of the font element around it
  printf '%s\n' "$flat" | grep -F "$1" | head -n 1 | grep -o 'color="#[0-9a-fA-F]*"' | head -n 1 |
    tr 'A-F' 'a-f'
}
check "old-only line is red" test "$(colour_of 'OldOnly = 2')" = 'color="#ff0000"'
check "new-only line is blue" test "$(colour_of 'NewOnly = 3')" = 'color="#0000ff"'
check "common line is black" test "$(colour_of 'Kept = 1')" = 'color="#000000"'

# 2. LibreOffice writes RTF; we read its colours back as line kinds.
mkdir -p lo
"$lo" --headless --convert-to rtf --outdir lo ws.rtf >/dev/null 2>&1
check "LibreOffice wrote the workspace as RTF" test -s lo/ws.rtf
"$cli" --from-workspace lo/ws.rtf --new n.pas --old o.pas
check "new version from LibreOffice's RTF is the new file" cmp -s n.pas new.pas
check "old version from LibreOffice's RTF is the old file" cmp -s o.pas old.pas

# 3. Our writer's RTF, empty lines included.
printf 'unit Demo;\r\n\r\nconst A = 1;\r\n\r\nconst Gone = 2;\r\n\r\nend.\r\n' > old2.pas
printf 'unit Demo;\r\n\r\nconst A = 1;\r\n\r\n\r\nconst Added = 3;\r\n\r\nend.\r\n' > new2.pas
"$cli" old2.pas new2.pas --workspace built2.rtf >/dev/null || [ $? -eq 1 ]
"$cli" --from-workspace built2.rtf --workspace ours2.rtf
mkdir -p lo2
"$lo" --headless --convert-to rtf --outdir lo2 ours2.rtf >/dev/null 2>&1
"$cli" --from-workspace lo2/ours2.rtf --new n2.pas --old o2.pas --merged m2.pas
"$cli" --from-workspace built2.rtf --merged m2-direct.pas
check "empty lines keep their kinds through LibreOffice (new)" cmp -s n2.pas new2.pas
check "empty lines keep their kinds through LibreOffice (old)" cmp -s o2.pas old2.pas
check "merged source through LibreOffice is the direct one" cmp -s m2.pas m2-direct.pas

exit $fail
