#!/usr/bin/env bash
# Writes the seed inputs of one fuzz target, drawn from the fixtures, into a folder.
# Usage: seeds.sh TARGET FOLDER   (SOURCE_DIR: the project)
set -euo pipefail
target=$1 out=$2
: "${SOURCE_DIR:?SOURCE_DIR names the project}"
fixtures=$SOURCE_DIR/tests/fixtures
mkdir -p "$out"
n=0
seed() { n=$((n + 1)); cat > "$out/seed-$n"; }

# A tree as the power_tree target reads it: "[NAME]" then KEY=value lines.
tree_as_input() { # folder
  local supply file
  for supply in "$1"/*/; do
    supply=${supply%/}
    echo "[$(basename "$supply")]"
    if [ -e "$supply/uevent" ]; then
      [ -f "$supply/uevent" ] || continue
      sed 's/^POWER_SUPPLY_//' "$supply/uevent"
    else
      for file in "$supply"/*; do
        [ -f "$file" ] && printf '%s=%s\n' "$(basename "$file" | tr '[:lower:]' '[:upper:]')" "$(head -n1 "$file")"
      done
    fi
  done
}

case "$target" in
  argument_text)
    for f in "$fixtures"/arguments/*; do seed < "$f"; done ;;
  uevent)
    for f in "$fixtures"/power/*/*/uevent; do [ -f "$f" ] && seed < "$f"; done ;;
  power_tree | power_details)
    for tree in "$fixtures"/power/*/; do seed < <(tree_as_input "${tree%/}"); done ;;
  settings_placement)
    for f in "$fixtures"/settings/*; do seed < "$f"; done ;;
  xpm_decoder)
    # The strings of each C-source picture, one a line.
    for f in "$SOURCE_DIR"/monitor/art/*.xpm; do seed < <(grep -o '"[^"]*"' "$f" | tr -d '"'); done ;;
  *) echo "seeds.sh: unknown target '$target'" >&2; exit 2 ;;
esac
[ "$n" -gt 0 ] || { echo "seeds.sh: no seeds for $target" >&2; exit 1; }
