#!/usr/bin/env bash
# Lays out a demo game folder in the build folder (ra2.ini at 800 x 600, no
# ra2md.ini), copies the tool there and starts it under Wine: on $DISPLAY
# when there is one, otherwise on a private Xvfb with a screenshot.
set -euo pipefail
build=$(realpath "$1")
here=$(dirname "$(realpath "$0")")
demo="$build/demo"
rm -rf "$demo"
mkdir -p "$demo"
printf '[Video]\r\nScreenWidth=800\r\nScreenHeight=600\r\n' > "$demo/ra2.ini"
cp "$build/Relvanta.exe" "$demo/"

if [ -n "${DISPLAY:-}" ]; then
  echo "starting $demo/Relvanta.exe on $DISPLAY"
  exec "$here/wine-env.sh" "$build" --use-display -- wine "$demo/Relvanta.exe"
fi

shot="$build/demo-screenshot.png"
"$here/wine-env.sh" "$build" -- bash -c '
  wine "$1/Relvanta.exe" &
  tool=$!
  for _ in $(seq 150); do
    xwininfo -root -tree 2>/dev/null | grep -q "Relvanta V2.2 Tobrisk" && break
    sleep 0.1
  done
  sleep 1
  window=$(xwininfo -name "Relvanta V2.2 Tobrisk" 2>/dev/null | awk "/Window id:/ {print \$4}")
  import -window "${window:-root}" "$2"
  kill $tool 2>/dev/null || true
' _ "$demo" "$shot"
echo "no display: the tool ran on a private Xvfb; screenshot saved to $shot"
