#!/usr/bin/env bash
# The git recipes of the README and the man page, run in a scratch repository with real commits.
# Arguments: the folder holding quennet-diff (and quennet when built), the examples folder.
set -euo pipefail
bindir=$(cd "$1" && pwd) examples=$(cd "$2" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "git recipes: $*" >&2; exit 1; }

export HOME=$scratch GIT_CONFIG_NOSYSTEM=1 XDG_CONFIG_HOME=$scratch/.config
export XDG_RUNTIME_DIR=$scratch/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
mkdir "$scratch/bin" "$scratch/repo"
ln -s "$bindir/quennet-diff" "$scratch/bin/quennet-diff"
export PATH=$scratch/bin:$PATH

cd "$scratch/repo"
git init -q
git config user.name Tester
git config user.email tester@quennet.example
mkdir src
cp "$examples/old/Shapes.pas" src/Shapes.pas
git add src && git commit -qm old
cp "$examples/new/Shapes.pas" src/Shapes.pas
cp "$examples/new/Shapes.pas" src/Added.pas
git add src && git commit -qm new

expect_report() { # output file, path
  [ "$(head -n 3 "$1")" = "$(printf 'Diff report for\n  %s\n  %s' "$2" "$2")" ] ||
    { cat "$1"; fail "no report labelled $2"; }
}

# The diff driver for Pascal files.
git config diff.pascal.command quennet-diff
echo '*.pas diff=pascal' >.gitattributes
git diff HEAD~1 HEAD -- src/Shapes.pas >"$scratch/driver" || fail "diff driver: git failed"
expect_report "$scratch/driver" src/Shapes.pas
git diff HEAD~1 HEAD >"$scratch/all" || fail "diff driver with an added file: git failed"
grep -q "^  src/Added.pas$" "$scratch/all" || fail "added file not compared"
rm .gitattributes
git config --unset diff.pascal.command

# One command only.
GIT_EXTERNAL_DIFF=quennet-diff git diff HEAD~1 HEAD -- src/Shapes.pas >"$scratch/external" ||
  fail "GIT_EXTERNAL_DIFF: git failed"
expect_report "$scratch/external" src/Shapes.pas

# difftool, text.
git config difftool.quennet-diff.cmd 'quennet-diff -L "$MERGED" -L "$MERGED" "$LOCAL" "$REMOTE"'
git difftool -y -t quennet-diff HEAD~1 HEAD -- src/Shapes.pas >"$scratch/difftool" ||
  fail "difftool: git failed"
expect_report "$scratch/difftool" src/Shapes.pas
grep -q "^>>> " "$scratch/difftool" || fail "difftool report has no body"

# difftool, desktop: the window is drawn offscreen instead of waiting for a user.
if [ -x "$bindir/quennet" ]; then
  cat >"$scratch/bin/quennet" <<STUB
#!/bin/sh
printf '%s\n' "\$@" >"$scratch/quennet-args"
QT_QPA_PLATFORM=offscreen exec "$bindir/quennet" --screenshot "$scratch/window.png" "\$@"
STUB
  chmod +x "$scratch/bin/quennet"
  git config difftool.quennet.cmd 'quennet "$REMOTE" "$LOCAL"'
  git difftool -y -t quennet HEAD~1 HEAD -- src/Shapes.pas >/dev/null 2>"$scratch/gui-err" ||
    { cat "$scratch/gui-err"; fail "desktop difftool failed"; }
  [ "$(wc -l <"$scratch/quennet-args")" -eq 2 ] || fail "quennet got $(cat "$scratch/quennet-args")"
  [ -s "$scratch/window.png" ] || fail "the desktop program drew no window"

  # mergetool, desktop: a move on one branch and an edit on the other, a conflict for git.
  # Offscreen the window saves what it opened with and closes, as a user pressing Save would.
  cat >"$scratch/bin/quennet" <<STUB
#!/bin/sh
QT_QPA_PLATFORM=offscreen exec "$bindir/quennet" --merge-save-now "\$@"
STUB
  cases=$examples/../tests/cases/merge3-08-move-and-edit
  git checkout -q -b gui-base HEAD~1
  cp "$cases/base.pas" src/Moved.pas && git add src/Moved.pas && git commit -qm base
  git checkout -q -b gui-remote && cp "$cases/remote.pas" src/Moved.pas && git commit -qam remote
  git checkout -q gui-base && cp "$cases/local.pas" src/Moved.pas && git commit -qam local
  git config mergetool.quennet-window.cmd \
    'quennet --merge "$BASE" "$LOCAL" "$REMOTE" -o "$MERGED"'
  git config mergetool.quennet-window.trustExitCode true
  git config mergetool.keepBackup false
  ! git merge -q --no-edit gui-remote >/dev/null 2>&1 || fail "git merged the move by itself"
  git mergetool --tool=quennet-window --no-prompt >/dev/null 2>"$scratch/gui-err" ||
    { cat "$scratch/gui-err"; fail "desktop mergetool failed"; }
  cmp -s src/Moved.pas "$cases/expected.pas" || fail "desktop mergetool: unexpected result"
  git commit -qm merged || fail "desktop mergetool left the file unresolved"
fi
echo "git recipes passed"
