#!/usr/bin/env bash
# Frame throughput of lumetra-tool decode (the display window's frame getter) against the
# ffmpeg command line decoding the same 1024x1024 MJPEG clip to BGR24, in one run.
# usage: bench/decode_ratio.sh [path/to/lumetra-tool] [frames]
set -euo pipefail
cd "$(dirname "$0")/.."
tool=${1:-build/bin/lumetra-tool}
frames=${2:-150}
[ -x "$tool" ] || { echo "no lumetra-tool at $tool (build it first)" >&2; exit 1; }
command -v ffmpeg >/dev/null || { echo "ffmpeg is not installed" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
clip="$work/mjpeg1024.avi"
ffmpeg -v error -f lavfi -i "testsrc2=size=1024x1024:rate=25" -frames:v "$frames" \
  -c:v mjpeg -q:v 3 -pix_fmt yuvj420p -y "$clip"

# lumetra-tool reports the seconds spent fetching frames; ffmpeg's -benchmark reports the
# real time of its decode loop ("rtime"). Neither counts process start-up.
json=$("$tool" decode "$clip" --order forward)
tool_frames=$(sed -E 's/.*"frames": *([0-9]+).*/\1/' <<<"$json")
tool_seconds=$(sed -E 's/.*"seconds": *([0-9.]+).*/\1/' <<<"$json")
bench=$(ffmpeg -hide_banner -nostats -benchmark -i "$clip" -f rawvideo -pix_fmt bgr24 -y /dev/null 2>&1 |
  grep -o 'rtime=[0-9.]*' | tail -1)
ffmpeg_seconds=${bench#rtime=}

awk -v tf="$tool_frames" -v ts="$tool_seconds" -v ff="$frames" -v fs="$ffmpeg_seconds" 'BEGIN {
  tfps = tf / ts; ffps = ff / fs
  printf "lumetra-tool decode: %d frames in %.3f s, %.1f frames/s\n", tf, ts, tfps
  printf "ffmpeg -> bgr24:     %d frames in %.3f s, %.1f frames/s\n", ff, fs, ffps
  printf "throughput ratio (lumetra-tool / ffmpeg): %.2f\n", tfps / ffps
}'
