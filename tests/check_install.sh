#!/usr/bin/env bash
# `cmake --install` of the build: the program with its translators folder beside its own
# folder, its command in bin, the desktop entry with its icon, and the polkit action naming the
# installed program (pkexec matches the action by that path).
# Usage: check_install.sh BUILD_DIR. Prints what is wrong and fails when anything is.
set -euo pipefail
build="$1"
stage="$(mktemp -d)"
trap 'rm -rf "$stage"' EXIT
prefix=/opt/palvir-check
DESTDIR="$stage" cmake --install "$build" --prefix "$prefix" >/dev/null
root="$stage$prefix"
bad=0
fail() { echo "$1"; bad=1; }

program="$root/lib/palvir/bin/palvir"
[ -x "$program" ] || fail "no program at lib/palvir/bin/palvir"
[ "$(readlink "$root/bin/palvir")" = "../lib/palvir/bin/palvir" ] || fail "bin/palvir is not a link to the program"
# The program looks in its own folder's ../translators/ (its folder is the link's target's).
translators="$(dirname "$(readlink -f "$root/bin/palvir")")/../translators"
ls "$translators"/palvir_*.qm >/dev/null 2>&1 || fail "no translations in the program's ../translators/"
# Beside each translation but English, Qt's own texts under the name the program loads.
for qm in "$translators"/palvir_*.qm; do
  tag="$(basename "$qm" .qm)"
  tag="${tag#palvir_}"
  case "$tag" in en|en_*) continue ;; esac
  [ -s "$translators/qt_$tag.qm" ] || fail "no Qt translation qt_$tag.qm beside palvir_$tag.qm"
done

entry="$root/share/applications/palvir.desktop"
for key in "Type=Application" "Name=Palvir" "Exec=palvir" "Icon=palvir"; do
  grep -qx "$key" "$entry" || fail "palvir.desktop lacks $key"
done
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$entry" || fail "palvir.desktop does not validate"
fi
[ -s "$root/share/icons/hicolor/scalable/apps/palvir.svg" ] || fail "no scalable icon"
[ -s "$root/share/icons/hicolor/32x32/apps/palvir.png" ] || fail "no 32x32 icon"

policy="$root/share/polkit-1/actions/invalid.varnel.palvir.policy"
grep -q "<annotate key=\"org.freedesktop.policykit.exec.path\">$prefix/lib/palvir/bin/palvir</annotate>" "$policy" \
  || fail "the polkit action does not name $prefix/lib/palvir/bin/palvir"
grep -q '<annotate key="org.freedesktop.policykit.exec.allow_gui">true</annotate>' "$policy" \
  || fail "the polkit action does not keep the display"
if command -v xmllint >/dev/null; then
  xmllint --noout "$policy" || fail "the polkit action is not well-formed"
fi
exit "$bad"
