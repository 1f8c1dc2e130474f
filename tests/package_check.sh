#!/usr/bin/env bash
# Builds the Debian package, unpacks it into a scratch root and runs the programs from there.
# Arguments: the build folder, the source folder, ON when the desktop program is built.
set -euo pipefail
build=$1 src=$2 gui=$3
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "package check: $*" >&2; exit 1; }

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$scratch/pkg" >"$scratch/cpack.log" 2>&1 ||
  { cat "$scratch/cpack.log"; fail "cpack failed"; }
deb=$(echo "$scratch"/pkg/*.deb)
[ -f "$deb" ] || fail "no package built"
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
[[ $depends == *libc6* ]] || fail "dependencies not from dpkg-shlibdeps: '$depends'"
if [ "$gui" = ON ]; then
  [[ $depends == *libqt6widgets6* && $depends == *qscintilla* ]] || fail "GUI libraries missing: '$depends'"
fi

root=$scratch/root
dpkg -x "$deb" "$root"
usr=$root/usr
share=$usr/share

"$usr/bin/quennet-diff" --version | grep -q "GPL-3.0-or-later" || fail "no licence in --version"
status=0
"$usr/bin/quennet-diff" "$src/examples/old/Shapes.pas" "$src/examples/new/Shapes.pas" \
  >"$scratch/report" || status=$?
[ "$status" -eq 1 ] || fail "compare gave status $status"
[ "$(head -n 1 "$scratch/report")" = "Diff report for" ] || fail "unexpected report"

pages=(quennet-diff)
[ "$gui" = ON ] && pages+=(quennet)
for page in "${pages[@]}"; do
  MANWIDTH=80 man --warnings -l "$share/man/man1/$page.1" >"$scratch/page" 2>"$scratch/warnings"
  [ -s "$scratch/warnings" ] && { cat "$scratch/warnings"; fail "man page $page warns"; }
  grep -q "^NAME" "$scratch/page" || fail "man page $page did not render"
done

for f in doc/quennet-pro/manual.html doc/quennet-pro/copyright doc/quennet-pro/schema/diff.schema.json \
         doc/quennet-pro/schema/model.schema.json bash-completion/completions/quennet-diff \
         zsh/vendor-completions/_quennet; do
  [ -f "$share/$f" ] || fail "$f not installed"
done
bash -c "source '$share/bash-completion/completions/quennet-diff' && complete -p quennet-diff" \
  >/dev/null || fail "bash completion does not load"

if [ "$gui" = ON ]; then
  desktop-file-validate "$share/applications/quennet.desktop" || fail "desktop entry invalid"
  for f in icons/hicolor/scalable/apps/quennet.svg icons/hicolor/48x48/apps/quennet.png \
           bash-completion/completions/quennet; do
    [ -f "$share/$f" ] || fail "$f not installed"
  done
  # Help and version on the terminal, with no display at all.
  env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$usr/bin/quennet" --version |
    grep -q "^quennet " || fail "quennet --version"
  env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$usr/bin/quennet" --help |
    grep -q -- "--version" || fail "quennet --help"
  # Nothing found through the build machine's folders.
  if grep -q -F -e "$src" -e "$build" "$usr/bin/quennet"; then fail "quennet names a build path"; fi
fi
echo "package check passed: $(basename "$deb")"
