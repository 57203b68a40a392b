#!/bin/sh
# Makes a Wine prefix ready for Quorlax: initialised once, with the Chinese
# fonts the program asks for mapped to Debian's CJK fonts, and the dialog
# fonts mapped too so message boxes show Chinese instead of boxes.
# Usage: tools/wine-prefix.sh PREFIX [test [DPI]]   (idempotent; safe in parallel)
# "test": windows are left unmanaged, for an X server without a window
# manager (Xvfb): Wine then draws the frames itself and never waits for a
# window manager that is not there; and the prefix is marked as the tests'
# own, the only place the Win32 tests agree to run (they write the game's
# registry keys). Any other prefix (make run's) leaves windows managed, so a
# window manager still moves them, but undecorated: the program paints its
# own caption and frame, and a decorated window gives its title row to a frame
# that a window manager draws instead, or a bare X server never draws. A
# prefix for tests, or on a machine without a sound card, gets no audio
# driver: Wine is then quiet and the game silent. DPI (e.g. 144 for 150%
# scaling) sets the screen's dots per inch; the default is 96.
set -eu
prefix=$1
mode=${2:-}
dpi=${3:-}
mkdir -p "$prefix"
prefix=$(cd "$prefix" && pwd)
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
marker="$prefix/.quorlax-ready-2"

# Wine's own Marlett (the skinned menus' check marks) in the prefix's font
# folder: this Wine does not find the fonts of its data folder by itself.
# Checked on every run, so prefixes made before this step get it too.
add_wine_fonts() {
  fonts="$prefix/drive_c/windows/Fonts"
  [ -d "$fonts" ] || return 0
  for font in /usr/share/wine/fonts/marlett.ttf; do
    [ -f "$font" ] && [ ! -e "$fonts/${font##*/}" ] || continue
    cp "$font" "$fonts/.${font##*/}.$$" && mv -f "$fonts/.${font##*/}.$$" "$fonts/${font##*/}"
  done
}
# Checked on every run too, so run prefixes made before this step get it.
undecorated="$prefix/.quorlax-undecorated"
undecorate() {
  [ "$mode" != test ] && [ ! -f "$undecorated" ] || return 0
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N /f >/dev/null 2>&1 || return 0
  wineserver -w
  touch "$undecorated"
}
if [ -f "$marker" ]; then
  add_wine_fonts
  undecorate
  exit 0
fi

exec 9>"$prefix.lock"
flock 9
[ -f "$marker" ] && exit 0

reg=$(mktemp)
trap 'rm -f "$reg" "$reg.utf8"' EXIT
# The registry file is UTF-16 so the Chinese value names survive.
printf '%s\r\n' 'Windows Registry Editor Version 5.00' '' > "$reg.utf8"
settings=yes

# A test prefix is a copy of the build's base test prefix, made once with
# wineboot beside it: Wine's system files are hard links (Wine only reads
# them), the registry and the user's folders are copies of its own. Test
# groups then run side by side, each in its own prefix, without a wineboot
# for every one.
base=$(dirname "$prefix")/wineprefix-base
if [ "$mode" = test ] && [ "$prefix" != "$base" ] && [ -z "$(ls -A "$prefix")" ]; then
  "$0" "$base" test
  rm -rf "$prefix.new"
  cp -al "$base" "$prefix.new"
  rm -rf "$prefix.new/drive_c/users" "$prefix.new/.quorlax-ready-2"
  cp -a "$base/drive_c/users" "$prefix.new/drive_c/users"
  for f in "$base"/*.reg "$base"/drive_c/windows/*.ini; do
    if [ -f "$f" ]; then cp --remove-destination "$f" "$prefix.new${f#"$base"}"; fi
  done
  rmdir "$prefix"
  mv "$prefix.new" "$prefix"
  settings=""
else
  wineboot -i >/dev/null 2>&1 || true
  printf '%s\r\n' \
    '[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes]' \
    '"宋体"="AR PL UMing CN"' \
    '"新宋体"="AR PL UMing CN"' \
    '"SimSun"="AR PL UMing CN"' \
    '"仿宋_GB2312"="AR PL UKai CN"' \
    '"仿宋"="AR PL UKai CN"' \
    '"楷体_GB2312"="AR PL UKai CN"' \
    '"楷体"="AR PL UKai CN"' \
    '"黑体"="WenQuanYi Micro Hei"' \
    '"SimHei"="WenQuanYi Micro Hei"' \
    '"MS Shell Dlg"="WenQuanYi Micro Hei"' \
    '"MS Shell Dlg 2"="WenQuanYi Micro Hei"' \
    '"Tahoma"="WenQuanYi Micro Hei"' \
    '"MS Sans Serif"="WenQuanYi Micro Hei"' \
    '"Microsoft Sans Serif"="WenQuanYi Micro Hei"' \
    '' >> "$reg.utf8"
  if [ "$mode" = test ]; then
    printf '%s\r\n' '[HKEY_CURRENT_USER\Software\Wine\X11 Driver]' '"Managed"="N"' '' \
      '[HKEY_CURRENT_USER\Software\QuorlaxTests]' '"PrivatePrefix"="1"' '' >> "$reg.utf8"
  fi
  if [ "$mode" = test ] || ! ls /dev/snd/pcm* >/dev/null 2>&1; then
    printf '%s\r\n' '[HKEY_CURRENT_USER\Software\Wine\Drivers]' '"Audio"=""' '' >> "$reg.utf8"
  fi
fi
if [ -n "$dpi" ]; then
  hex=$(printf '%08x' "$dpi")
  printf '%s\r\n' '[HKEY_CURRENT_USER\Control Panel\Desktop]' "\"LogPixels\"=dword:$hex" '' \
    '[HKEY_LOCAL_MACHINE\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts]' \
    "\"LogPixels\"=dword:$hex" '' >> "$reg.utf8"
  settings=yes
fi
if [ -n "$settings" ]; then
  iconv -f UTF-8 -t UTF-16 "$reg.utf8" > "$reg"
  wine regedit /S "$(winepath -w "$reg")" >/dev/null 2>&1
  wineserver -w
fi
add_wine_fonts
undecorate
touch "$marker"
