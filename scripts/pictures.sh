#!/usr/bin/env bash
# Renders the pictures of the user guide (docs/guide.md) into docs/pictures/:
# the main window after the README's examples and on the way through the
# guide (batch mode's "snapshot"), and every dialog of the program
# (tesmira-pictures, which opens each dialog of app/dialog_catalogue.cpp).
# All offscreen: no display is needed. Run it after changing a screen and
# look at the pictures that changed.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
bash scripts/setup.sh
if [ ! -f build/build.ninja ]; then
  cmake --preset default
fi
cmake --build build -j"$(nproc)" --target tesmira tesmira-pictures

out="$root/docs/pictures"
mkdir -p "$out"
rm -f "$out"/*.png  # a dialog that left the catalogue leaves no picture behind
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cp examples/*.ini examples/*.tsm "$work/"
cd "$work"

# The window as it opens without data, then the README's measurement
# example (the dialog just after "&Do It"), then the Math tool
# of the README's batch example on the measured curves.
cat > guide.tsm <<SCRIPT
snapshot $out/main-window-start.png
dialog 4900
  set 4021 "-10 mA"
  set 4022 "10 mA"
  set 4023 128
  check 4028 1
  ok
  snapshot $out/measure-vi-running.png
  wait
end
run V(I)
snapshot $out/main-window-iv-curve.png
dialog 3101
  set 1301 3
end
run Smooth
snapshot $out/main-window-smoothed.png
SCRIPT
"$root/build/bin/tesmira" -i:junction.ini -batch:guide.tsm >/dev/null

# The README's example as printed, then its picture.
{ cat iv_curve.tsm; echo "snapshot $out/main-window-readme-example.png"; } > readme.tsm
"$root/build/bin/tesmira" -i:junction.ini -batch:readme.tsm >/dev/null

# The results of the README's examples of the other modes.
for example in ic_h.ini:ic_h iv_family wfm_response vdc_iac; do
  settings=junction.ini script=$example
  if [[ $example == *:* ]]; then settings=${example%%:*} script=${example#*:}; fi
  { cat "$script.tsm"; echo "snapshot $out/main-window-${script//_/-}.png"; } > "picture_$script.tsm"
  "$root/build/bin/tesmira" -i:"$settings" -batch:"picture_$script.tsm" >/dev/null
done

# Every dialog, over the curve the example measured.
"$root/build/bin/tesmira-pictures" "$out" -i:junction.ini junction_iv.dat
echo "pictures in docs/pictures/"
