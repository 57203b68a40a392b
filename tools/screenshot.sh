#!/bin/sh
# Makes the README's screenshots from the real program: run under an X
# display (make screenshot uses xvfb-run), start a Chinese game (or, with
# the scene "practice", a practice run with the radical chart), capture.
# Usage: tools/screenshot.sh BUILD_DIR OUTPUT.png [practice]
set -eu
build=$(cd "$1" && pwd)
out=$2
scene=${3:-}
command -v import >/dev/null || { echo "screenshot: needs ImageMagick (apt-get install imagemagick)" >&2; exit 1; }
"$(dirname "$0")/wine-prefix.sh" "$build/wineprefix" test
export WINEPREFIX="$build/wineprefix" WINEDEBUG=-all
cd "$build"
wine quorlax.exe &
game=$!
geometry=$(wine screenshot_driver.exe $scene | tr -d '\r')
import -window root -crop "$geometry" +repage "$OLDPWD/$out"
kill $game 2>/dev/null || true
wineserver -k || true
echo "screenshot: wrote $out ($geometry)"
