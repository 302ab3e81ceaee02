#!/usr/bin/env bash
# Opens one demo clip under Xvfb, switches on its legend and zooms into it from outside, with the
# keyboard and mouse as a user would (xdotool), and saves build/screenshot-zoom.png. The user's
# own settings are not touched: the run keeps its preferences in a temporary folder.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh
lumetra_demo_setup xdotool

lumetra_screenshot "$PWD/build/screenshot-zoom.png" 1280x800x24 '
  clip=$(xdotool search --onlyvisible --name "cam1_colour.avi" | head -1)
  eval "$(xdotool getwindowgeometry --shell "$clip")"
  cx=$((X + WIDTH / 2)) cy=$((Y + HEIGHT / 2))
  # Frame counter, time counter and reticle through the context menu, by their mnemonics.
  for key in m t r; do
    xdotool mousemove $cx $cy click 3
    sleep 0.5
    xdotool key "$key"
    sleep 0.5
  done
  # The master time bar to 530 ms (a middle click sets a slider where it is clicked), where the
  # target crosses the middle of the picture.
  bar=$(xdotool search --onlyvisible --name "^Lumetra$" | head -1)
  eval "$(xdotool getwindowgeometry --shell "$bar")"
  xdotool mousemove $((X + 125)) $((Y + 83)) click 2
  sleep 1
  xdotool mousemove $cx $cy click 1 key ctrl+w
  sleep 1.5
  zoom=$(xdotool search --onlyvisible --name "Magnification and Zoom" | head -1)
  xdotool windowmove "$zoom" 700 140 windowfocus "$zoom"
  # "Full Frame" has the focus: two steps down select "Zoom In"; then one page up the bar.
  xdotool key Down Down
  sleep 0.5
  xdotool key Tab Page_Up
  sleep 2
' "$PWD/build/demo/cam1_colour.avi"
