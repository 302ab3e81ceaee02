# Sourced by test.sh and run.sh: installs the Debian packages the build needs.
LUMETRA_PACKAGES="cmake ninja-build g++ pkg-config ccache git qt6-base-dev libgl-dev
  libavformat-dev libavcodec-dev libswscale-dev libavutil-dev ffmpeg
  libqcustomplot-dev libgtest-dev libgmock-dev libbenchmark-dev xvfb xauth clang-format"

lumetra_missing_packages() {
  local missing=""
  for p in $LUMETRA_PACKAGES; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
  done
  echo "$missing"
}

lumetra_install_deps() {
  local missing
  missing=$(lumetra_missing_packages)
  [ -z "$missing" ] && return 0
  local cmd="apt-get install -y --no-install-recommends$missing"
  if [ "$(id -u)" = 0 ]; then
    apt-get update -qq && DEBIAN_FRONTEND=noninteractive $cmd
  elif command -v sudo >/dev/null 2>&1; then
    sudo apt-get update -qq && sudo DEBIAN_FRONTEND=noninteractive $cmd
  else
    echo "Missing packages. Run as root: apt-get update && $cmd" >&2
    return 1
  fi
}

# lumetra_build DIR [cmake options...]; builds everything, or only $LUMETRA_TARGETS when set.
lumetra_build() {
  local dir=$1
  shift
  if [ ! -f "$dir/build.ninja" ]; then
    cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" || return 1
  else
    cmake "$dir" "$@" >/dev/null || return 1
  fi
  local targets=() known
  # Read whole: with pipefail, a grep -q that stops early fails the pipe by SIGPIPE.
  known=$(ninja -C "$dir" -t targets all)
  for t in ${LUMETRA_TARGETS:-}; do
    # A target that a later change adds is built only once it exists.
    grep -q "^$t:" <<<"$known" && targets+=("$t")
  done
  # One --target with every name: a repeated --target keeps only the last.
  if [ ${#targets[@]} -gt 0 ]; then
    cmake --build "$dir" -j "$(nproc)" --target "${targets[@]}"
  else
    cmake --build "$dir" -j "$(nproc)"
  fi
}

# lumetra_demo_setup [packages...]: what a run on the demo needs: the packages (with the screen
# capture tools and any given), the program alone (no test program is built or run), and the
# demo test written into build/demo.
lumetra_demo_setup() {
  LUMETRA_PACKAGES="$LUMETRA_PACKAGES x11-apps imagemagick $*"
  lumetra_install_deps
  LUMETRA_TARGETS="lumetra lumetra-demo help_pages" lumetra_build build
  build/bin/lumetra-demo build/demo >/dev/null
}

# The demo's files a user opens: its clips, the DIAdem header and the CSV file, one a line.
lumetra_demo_files() {
  find build/demo -maxdepth 1 -type f \( -name '*.avi' -o -name '*.dat' -o -name '*.csv' \) | sort
}

# lumetra_screenshot OUT SCREEN STEPS ARGS...: starts the program on ARGS under Xvfb with its
# settings in a temporary folder (the user's own are not touched), waits for it, runs STEPS (bash
# text that drives it from outside, as a user would), saves the screen as OUT and prints OUT.
lumetra_screenshot() {
  local out=$1 screen=$2 steps=$3 config status=0
  shift 3
  rm -f "$out"
  config=$(mktemp -d)
  XDG_CONFIG_HOME="$config" xvfb-run -a -s "-screen 0 $screen" bash -c '
    out=$1 steps=$2
    shift 2
    "$@" &
    pid=$!
    sleep 4
    eval "$steps"
    xwd -root -silent | convert xwd:- "$out"
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null || true
  ' lumetra-screenshot "$out" "$steps" build/bin/lumetra "$@" || status=$?
  rm -rf "$config"
  [ -f "$out" ] || { echo "no screenshot was taken" >&2; return 1; }
  echo "$out"
  return $status
}
