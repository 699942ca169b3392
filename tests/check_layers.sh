#!/usr/bin/env bash
# The layers of gui/ point only down: a file may include the headers of its own folder and of
# the folders of lower layers, never of its own layer's other folders or of a higher one; and
# every header of gui/ is included by its folder ("devices/controller.h").
# Usage: check_layers.sh GUI_DIR. Prints each offending include and fails when there is one.
set -euo pipefail
gui="$1"

# Lowest first; 0 for a folder that has no layer (a folder of sources missing here is an error).
layer_of() {
  case "$1" in
    os/mac) layer=1 ;;
    devices) layer=2 ;;
    watcher|helper) layer=3 ;;
    ui/model) layer=4 ;;
    cli|smtp|snmp|httpproxy) layer=5 ;;
    ui/dialog) layer=6 ;;
    .) layer=7 ;;   # the program: main
    *) layer=0 ;;
  esac
}

# The application object sits in the program's folder yet belongs to the core, below the views.
layer_of_file() {
  case "$1" in
    zynapplication.h|zynapplication.cpp) layer=3 ;;
    *) folder_of "$1"; layer_of "$folder" ;;
  esac
}

folder_of() { case "$1" in */*) folder="${1%/*}" ;; *) folder=. ;; esac; }

declare -A headers names
while IFS= read -r h; do
  rel="${h#"$gui"/}"; headers["$rel"]=1; names["${rel##*/}"]=1
done < <(find "$gui" -name '*.h')

bad=0
while IFS= read -r file; do
  rel="${file#"$gui"/}"
  folder_of "$rel"; from="$folder"
  layer_of_file "$rel"; from_layer="$layer"
  if [ "$from_layer" = 0 ]; then
    echo "$rel: the folder '$from' has no layer"; bad=1; continue
  fi
  while IFS= read -r inc; do
    if [ -z "${headers[$inc]:-}" ]; then
      if [ -n "${names[$inc]:-}" ]; then
        echo "$rel includes \"$inc\" without its folder"; bad=1
      fi
      continue
    fi
    folder_of "$inc"; to="$folder"
    layer_of_file "$inc"
    [ "$to" = "$from" ] && [ "$layer" = "$from_layer" ] && continue
    if [ "$layer" -ge "$from_layer" ]; then
      echo "$rel includes \"$inc\": '$from' may not reach '$to'"; bad=1
    fi
  done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file")
done < <(find "$gui" -name '*.h' -o -name '*.cpp' | sort)
exit "$bad"
