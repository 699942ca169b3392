#!/usr/bin/env bash
# Renders the program's images from their SVG sources (images/svg/) into the files the
# resource file embeds (images/icons/, images/logo/, ...). The outputs are committed; run this
# after changing a source. Needs rsvg-convert and ImageMagick's convert (installed when missing).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
if ! command -v rsvg-convert >/dev/null || ! convert -version 2>/dev/null | grep -q ImageMagick; then
  sudo=""; [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get install -y --no-install-recommends librsvg2-bin imagemagick
fi
cd "$root/images/svg"
find . -name '*.svg' | sort | while read -r source; do
  name="${source#./}"; name="${name%.svg}"
  mkdir -p "$root/images/$(dirname "$name")"
  case "$name" in
    logo/*) size=(-w 640 -h 360) ;;
    *) size=(-w 32 -h 32) ;;
  esac
  case "$name" in
    icons/devices/enclosure|logo/startup-logo)
      rsvg-convert "${size[@]}" "$source" -o "/tmp/palvir-image.png"
      convert /tmp/palvir-image.png -background white -flatten -quality 92 "$root/images/$name.jpg"
      rm -f /tmp/palvir-image.png ;;
    *)
      rsvg-convert "${size[@]}" "$source" -o "$root/images/$name.png" ;;
  esac
done
# The resource file: every rendered image under ":/images/".
{
  echo '<RCC>'
  echo '  <qresource prefix="/images">'
  (cd "$root/images" && find . \( -name '*.png' -o -name '*.jpg' \) -not -path './svg/*' | sort | sed 's|^\./|    <file>|; s|$|</file>|')
  echo '  </qresource>'
  echo '</RCC>'
} > "$root/images/images.qrc"
