#!/usr/bin/env bash
# Builds Lumetra and starts it on the bundled demo. Without a display it runs under Xvfb,
# saves build/screenshot.png once the windows are up, closes the program and prints the path.
set -euo pipefail
cd "$(dirname "$0")"
. scripts/deps.sh
lumetra_demo_setup

app=build/bin/lumetra
mapfile -t demo < <(lumetra_demo_files)

if [ -n "${DISPLAY:-}" ]; then
  exec "$app" "${demo[@]}"
fi

shot="$PWD/build/screenshot.png"
rm -f "$shot"
# The program is captured from outside, as a user's screenshot tool would: it needs no hook.
xvfb-run -a -s "-screen 0 1600x1000x24" bash -c '
  "$0" "${@:2}" &
  pid=$!
  sleep 6
  xwd -root -silent | convert xwd:- "$1"
  kill "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null || true
' "$app" "$shot" "${demo[@]}"
[ -f "$shot" ] || { echo "no screenshot was taken" >&2; exit 1; }
echo "$shot"
