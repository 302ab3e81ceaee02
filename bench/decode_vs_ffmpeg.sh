#!/usr/bin/env bash
# Decoding through the AVI library against the ffmpeg command line, in one run:
#  - sequential decoding of a 1024x1024 MJPEG clip through AVIStreamGetFrame as a throughput
#    ratio to `ffmpeg -i CLIP -f rawvideo -pix_fmt bgr24 -y /dev/null` on the same file
#    (goal: at least 0.8);
#  - stepping backward and jumping at random in a 1024x1024 H.264 clip with a key frame every
#    250 frames, median and 95th percentile (goal: step backward under 40 ms at the 95th).
# The benchmark makes its clips itself in a temporary folder.
# Usage: bench/decode_vs_ffmpeg.sh [build-dir]   (default: build; a RelWithDebInfo build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
bin="$build/bin/avifile_bench"
if [ ! -x "$bin" ]; then
  cmake --build "$build" --target avifile_bench
fi
command -v ffmpeg >/dev/null || { echo "ffmpeg is not installed" >&2; exit 1; }

out=$("$bin" --benchmark_counters_tabular=false 2>&1)
echo "$out"
echo
counter() { # benchmark name, counter name
  grep "^$1" <<<"$out" | grep -oE " $2=[0-9.]+" | head -1 | cut -d= -f2
}
ratio=$(counter BM_SequentialMjpeg ratio)
echo "MJPEG 1024x1024 sequential: $(counter BM_SequentialMjpeg fps) fps," \
     "ffmpeg $(counter BM_SequentialMjpeg ffmpeg_fps) fps, ratio $ratio (goal >= 0.8)"
echo "H.264 1024x1024 step backward: median $(counter BM_StepBackwardH264 median_ms) ms," \
     "p95 $(counter BM_StepBackwardH264 p95_ms) ms (goal p95 < 40 ms)"
echo "H.264 1024x1024 random jump: median $(counter BM_RandomJumpH264 median_ms) ms," \
     "p95 $(counter BM_RandomJumpH264 p95_ms) ms"
