#!/usr/bin/env bash
# Screenshots of the real program under wine, for docs/screenshots/:
#
#   bash scripts/screenshots.sh
#
# One picture for each scene of the shot tool (tests/e2e/shot_tool.cpp, which
# names each scene's file and the windows it shows, and lists them with
# --list), and four screens more:
#   main-window-plan-144dpi.png  the plan again on a 144-DPI (150 %) screen
#   window-chooser-144dpi.png    the progress-bar watcher's chooser at 144 DPI
#   statistics-144dpi.png        the statistics window at 144 DPI
#   main-window-small-screen.png the plan on a 1280 × 1024 screen at 144 DPI,
#                                where the window is laid out smaller to fit
#
# Builds temvik.exe and the shot tool (tests/e2e/shot_tool.cpp) in the mingw
# build folder, then, in a private Xvfb, lets the tool start the program in
# each state, waits for the window's rectangle, takes the virtual desktop with
# ImageMagick's `import -window root` until two takes agree, and crops it.
# The 144-DPI scenes run in a prefix and an Xvfb of their own.
#
# Settings (environment):
#   TEMVIK_SHOT_BUILD  mingw build folder (default build/mingw; configured with
#                      the mingw preset when missing)
#   TEMVIK_JOBS        parallel compile jobs (default 2)
#   TEMVIK_SHOT_OUT    output folder (default docs/screenshots)
#   WINEPREFIX         wine prefix (default <build folder>/wineprefix-shots; the
#                      144-DPI scenes add -dpi144 to it, the small screen -small144)
set -euo pipefail

ROOT=$(cd -- "$(dirname -- "${BASH_SOURCE[0]}")/.." && pwd)
BUILD=${TEMVIK_SHOT_BUILD:-$ROOT/build/mingw}
[[ $BUILD == /* ]] || BUILD=$ROOT/$BUILD
OUT=${TEMVIK_SHOT_OUT:-$ROOT/docs/screenshots}
[[ $OUT == /* ]] || OUT=$ROOT/$OUT
export WINEPREFIX=${WINEPREFIX:-$BUILD/wineprefix-shots}
SCENES_144DPI=(plan:main-window-plan-144dpi choose-window:window-chooser-144dpi stats:statistics-144dpi)
SCENES_SMALL_SCREEN=(plan:main-window-small-screen)

die() {
  echo "screenshots.sh: $*" >&2
  exit 1
}

# Polls until file $1 has content, at most $2 seconds.
wait_for_file() {
  local file=$1 limit=$(($2 * 10)) i
  for ((i = 0; i < limit; i++)); do
    [[ -s $file ]] && return 0
    sleep 0.1
  done
  return 1
}

# Polls until process $1 has ended, at most $2 seconds; returns its status.
wait_for_exit() {
  local pid=$1 limit=$(($2 * 10)) i
  for ((i = 0; i < limit; i++)); do
    if ! kill -0 "$pid" 2>/dev/null; then
      wait "$pid"
      return
    fi
    sleep 0.1
  done
  return 124
}

shoot() {
  local scene=$1 name=$2 tmp=$3 tool=$4
  local rect=$tmp/$scene.rect log=$tmp/$scene.log pid x y w h take previous="" i
  rm -f "$rect" "$rect.done"
  "$TEMVIK_WINE" "$tool" "$scene" "$rect" </dev/null >"$log" 2>&1 &
  pid=$!
  if ! wait_for_file "$rect" 60; then
    kill "$pid" 2>/dev/null || true
    cat "$log" >&2
    die "scene $scene: the window did not come up"
  fi
  read -r x y w h <"$rect"
  # The desktop may still be painting: take it until two takes agree.
  for ((i = 0; i < 50; i++)); do
    take=$tmp/$scene-$i.png
    import -window root -crop "${w}x${h}+${x}+${y}" +repage "$take"
    if [[ -n $previous ]] && compare -metric AE "$previous" "$take" null: 2>/dev/null; then
      break
    fi
    previous=$take
  done
  [[ -n $previous ]] || die "scene $scene: no screenshot"
  cp "$take" "$OUT/$name.png"
  : >"$rect.done"
  wait_for_exit "$pid" 30 || die "scene $scene: the shot tool did not end (status $?); see $log"
  echo "$OUT/$name.png: ${w}x${h} at $x,$y"
}

# Takes the scenes "$@" (scene:file) at TEMVIK_WINE_DPI, in a private X server.
take_scenes() {
  # shellcheck source=scripts/wine-env.sh
  . "$ROOT/scripts/wine-env.sh"
  temvik_need_display --private bash "${BASH_SOURCE[0]}" --inner "$@"
  temvik_wine_prepare || die "wine is not ready (see $WINEPREFIX.log)"
  local tmp tool=$BUILD/tests/e2e/temvik_e2e_shot.exe design
  local -a scenes=("$@")
  if [[ ${scenes[0]} == --all ]]; then
    mapfile -t scenes < <("$TEMVIK_WINE" "$tool" --list | tr -d '\r' | grep -E '^[a-z-]+:[a-z0-9-]+$') ||
      die "the shot tool cannot list its scenes"
    ((${#scenes[@]})) || die "the shot tool lists no scene"
  fi
  tmp=$(mktemp -d)
  mkdir -p "$OUT"
  for design in "${scenes[@]}"; do
    shoot "${design%%:*}" "${design#*:}" "$tmp" "$tool"
  done
  rm -rf "$tmp"
}

if [[ ${1:-} == --inner ]]; then
  shift
  take_scenes "$@"
  exit
fi

for tool in cmake import compare xvfb-run wine; do
  command -v "$tool" >/dev/null 2>&1 || die "missing $tool (install with scripts/install-deps.sh)"
done
if [[ ! -f $BUILD/build.ninja ]]; then
  cmake --preset mingw -B "$BUILD" || die "configuring $BUILD failed"
fi
cmake --build "$BUILD" --parallel "${TEMVIK_JOBS:-2}" --target temvik temvik_e2e_shot ||
  die "building failed"
export TEMVIK_ROOT=$ROOT
(take_scenes --all)
(
  export TEMVIK_WINE_DPI=144 WINEPREFIX=$WINEPREFIX-dpi144
  take_scenes "${SCENES_144DPI[@]}"
)
(
  export TEMVIK_WINE_DPI=144 TEMVIK_WINE_SCREEN=1280x1024 WINEPREFIX=$WINEPREFIX-small144
  take_scenes "${SCENES_SMALL_SCREEN[@]}"
)
