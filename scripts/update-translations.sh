#!/usr/bin/env bash
# Gathers the user-visible texts of gui/ (sources and forms) into every translation source
# translators/palvir_<tag>.ts, keeping the translations they already hold; texts no longer in the
# program are kept as obsolete. Run it after adding or changing texts, then translate the new
# entries (marked unfinished) with linguist or an editor. The build compiles each .ts with
# lrelease into <build>/translators/palvir_<tag>.qm.
#
# Usage: scripts/update-translations.sh [TAG...]   e.g. fr_FR to start a new language as well.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
lupdate="$(command -v lupdate || command -v lupdate-qt5 || echo /usr/lib/qt5/bin/lupdate)"
[ -x "$lupdate" ] || { echo "lupdate is missing (Debian package qttools5-dev-tools)" >&2; exit 1; }
cd "$root"
ts=(translators/palvir_*.ts)
for tag in "$@"; do
  ts+=("translators/palvir_${tag}.ts")
done
"$lupdate" -silent -recursive -locations none -no-ui-lines gui -ts "${ts[@]}"
for f in "${ts[@]}"; do
  unfinished=$(grep -c 'type="unfinished"' "$f" || true)
  echo "$f: $unfinished texts to translate"
done
