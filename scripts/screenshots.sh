#!/usr/bin/env bash
# Makes the pictures of README.md and docs/guide.md from the built programs,
# with fixed seeds, so that they come out the same on every machine:
#   docs/img/window-3d.png      the window at the end of a 5-s run, 3D page, the
#                               hint of "Start" (its key) in sight
#   docs/img/window-charts.png  the same window on its "2D" page, chart "N"
#   docs/img/ensemble.png       mean and SD bands of an eight-run ensemble
#   docs/img/capping-sweep.png  a capping-protein sweep, 95 % confidence bands
#   docs/img/movie-frame.png    the 3D view at the end of a 5-s run, from its movie
#   docs/img/movie.gif          the first two seconds of that run, a frame every 0.1 s
#
#   scripts/screenshots.sh [BIN-DIR]    (default: build-release/bin, as built by
#                                        scripts/setup.sh run)
#
# Takes 15 s to 3 min on two cores, as busy as they are (the window's
# run, then eight short runs and the plot). Runs the window under Xvfb; needs
# xvfb, xdotool and imagemagick, which scripts/setup.sh installs. The test
# suite does not run it.
set -euo pipefail
cd "$(dirname "$0")/.."
images=docs/img

# The default world with a coarser mechanics step, so that the run takes
# seconds; the window at a size that shows the charts and lists well.
write_settings() {
  printf '%s\n' '[ValueListSimulation]' 'SIM_TIMESTEP=0.001' 'SIM_TIME=5' > "$1/world.ini"
  cp "$1/world.ini" "$1/window.ini"
  printf '%s\n' '[Window]' 'Width=1200' 'Height=760' 'SplitterMain=420,780' >> "$1/window.ini"
}

# Starts the window with a run, waits until the run has ended (two grabs two
# seconds apart are the same picture), takes the 3D page with the hint of
# "Start", then clicks the "2D" tab and takes the charts.
shoot_window() {
  "$bin/filonex" --settings "$work/window.ini" --seed 7 --run &
  local pid=$! id
  id=$(xdotool search --sync --onlyvisible --class filonex | head -n 1)
  local before="$work/before.png" now="$work/now.png" waited=0
  import -window "$id" "$before"
  while :; do
    sleep 2; waited=$((waited + 2))
    import -window "$id" "$now"
    [ "$(compare -metric AE "$before" "$now" null: 2>&1 || true)" = 0 ] && break
    [ $waited -lt 600 ] || { echo "screenshots: the run did not end in 10 minutes" >&2; exit 1; }
    mv "$now" "$before"
  done
  # A turn of about 18 degrees about two axes and two notches of zoom show the
  # network around the bacterium in depth.
  xdotool mousemove --window "$id" 750 420 mousedown 1 mousemove --window "$id" 780 400 \
    mousemove --window "$id" 810 380 mouseup 1 click 4 click 4
  # The pointer rests on "Start", whose hint names its key; the hint is a
  # window of its own, so the screen is taken where the window lies.
  xdotool mousemove --window "$id" 18 16
  sleep 2
  local X Y WIDTH HEIGHT SCREEN WINDOW
  eval "$(xdotool getwindowgeometry --shell "$id")"
  import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$images/window-3d.png"
  # The "2D" tab, left of the "3D" tab above the right-hand pages.
  xdotool mousemove --window "$id" 440 52 click 1
  sleep 2
  import -window "$id" "$images/window-charts.png"
  kill "$pid"
  wait "$pid" || true
}

# The script calls itself under Xvfb for the window's pictures.
if [ "${1:-}" = --under-xvfb ]; then
  bin=$2 work=$3
  shoot_window
  exit
fi

bin=${1:-build-release/bin}
for program in filonex filonex-batch filonex-plot; do
  [ -x "$bin/$program" ] || { echo "screenshots: no $bin/$program; build first" >&2; exit 2; }
done
mkdir -p "$images"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
write_settings "$work"

start=$SECONDS
xvfb-run -a -s "-screen 0 1280x800x24" "$0" --under-xvfb "$bin" "$work"

"$bin/filonex-batch" --settings "$work/world.ini" --chemistry-only --seed 7 \
  --runs 8 --out "$work/ensemble" --quiet > /dev/null
"$bin/filonex-plot" "$work/ensemble/summary.tsv" --columns FIB,FIP,CAF -o "$images/ensemble.png"
"$bin/filonex-batch" --settings tests/corpus/default.ini --seed 11 --runs 4 --sweep C_CAP=0.1,0.3,1 \
  --time 5 --chemistry-only --out "$work/sweep" --quiet > /dev/null
"$bin/filonex-plot" "$work/sweep/summary.tsv" --columns FIB --band ci95 --size 1000x650 \
  --title "Filament barbed ends (FIB) in a capping-protein sweep" -o "$images/capping-sweep.png"

# The run's pictures without a display (filonex-batch --movie), turned and
# zoomed to show the network around the bacterium in depth.
view=(--movie-view 30,20,1.6)
"$bin/filonex-batch" --settings "$work/world.ini" --seed 7 --time 5 --quiet "${view[@]}" \
  --movie-every 0.5 --movie-size 800x450 --movie "$work/frames" > /dev/null
cp "$work/frames/frame-000010.png" "$images/movie-frame.png"
"$bin/filonex-batch" --settings "$work/world.ini" --seed 7 --time 2 --quiet "${view[@]}" \
  --movie-every 0.1 --movie-size 480x270 --movie-fps 8 --movie "$images/movie.gif" > /dev/null

echo "screenshots: $images/window-3d.png, window-charts.png, ensemble.png, capping-sweep.png, movie-frame.png," \
  "movie.gif in $((SECONDS - start)) s"
