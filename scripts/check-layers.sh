#!/usr/bin/env bash
# Checks the layer rule of docs/architecture.md: every #include "folder/..."
# of a source folder names a folder that lies below it, and nothing below
# gui/ includes a Qt header. Prints each offending line; exit 1 if any.
set -euo pipefail
cd "$(dirname "$0")/.."

bottom="platform resources acqutil shell"
middle_low="curves daq"
declare -A allowed=(
  [platform]=""
  [resources]=""
  [acqutil]="platform"
  [shell]="platform resources"
  [daq]="$bottom"
  [curves]="$bottom"
  [channels]="$bottom $middle_low"
  [math]="$bottom curves"
  [plot]="$bottom curves"
  [files]="$bottom $middle_low channels plot"
  [measure]="$bottom $middle_low channels plot"
  [app]="$bottom $middle_low channels plot math files measure"
  [gui]="$bottom $middle_low channels plot math files measure app"
  [tools]="$bottom $middle_low channels plot math files measure app gui"
)

bad=0
for dir in "${!allowed[@]}"; do
  [ -d "$dir" ] || continue
  while IFS= read -r line; do
    file=${line%%:*}
    target=$(sed -E 's/.*#include "([a-z_]+)\/.*/\1/' <<<"$line")
    [ "$target" = "$dir" ] && continue
    if [[ " ${allowed[$dir]} " != *" $target "* ]]; then
      echo "layer rule: $file includes $target/ (not below $dir/): ${line#*:}"
      bad=1
    fi
  done < <(grep -rnE '^\s*#\s*include "[a-z_]+/' "$dir" --include='*.cpp' --include='*.h' || true)
  if [ "$dir" != gui ] && [ "$dir" != tools ]; then
    if grep -rnE '^\s*#\s*include <Q' "$dir" --include='*.cpp' --include='*.h'; then
      echo "layer rule: Qt header below gui/ (in $dir/)"
      bad=1
    fi
  fi
done
exit $bad
