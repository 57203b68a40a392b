#!/bin/sh
# Makes a screenshot for the README from the real program: run under an X
# display (make screenshot uses xvfb-run); the driver starts a Chinese game
# ("game", the default), a practice run with the radical chart
# ("practice"), or opens the picture chooser ("chooser"), the About box
# ("about") or the practice record over prepared practice files ("record"),
# ends a run for its card ("card"), or types by five-stroke code up to a
# wrong key ("code"); then the screen is captured and cropped.
# Usage: tools/screenshot.sh BUILD_DIR OUTPUT.png [game|practice|chooser|about|record|card|code]
set -eu
build=$(cd "$1" && pwd)
out=$2
case $out in /*) ;; *) out=$PWD/$out ;; esac
mode=${3:-game}
command -v import >/dev/null || { echo "screenshot: needs ImageMagick (apt-get install imagemagick)" >&2; exit 1; }
"$(dirname "$0")/wine-prefix.sh" "$build/wineprefix" test
export WINEPREFIX="$build/wineprefix" WINEDEBUG=-all
cd "$build"
wine quorlax.exe &
game=$!
geometry=$(wine screenshot_driver.exe "$mode" | tr -d '\r')
import -window root -crop "$geometry" +repage "$out"
kill $game 2>/dev/null || true
wineserver -k || true
echo "screenshot: wrote $out ($geometry)"
