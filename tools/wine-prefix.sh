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
#
# Every step that can fail says on stderr what failed and what to try, and
# the script exits 1. The ready marker is written last, once every step has
# succeeded; a prefix this script began (it carries .quorlax-prefix) that has
# no ready marker is made again from nothing. A folder that holds something
# else is left alone.
set -eu
me=wine-prefix.sh
command_line="$0 $*"
prefix=$1
mode=${2:-}
dpi=${3:-}
marker_name=.quorlax-ready-2
owned_name=.quorlax-prefix  # this script began the folder: it may empty it

# What is being done: named if the script stops somewhere no step foresaw.
step="starting"
reported=""
tmp=""
# fail WHAT [TRY...]: says what failed, then one line for each thing to try; stops.
fail() {
  reported=yes
  printf '%s: %s\n' "$me" "$1" >&2
  shift
  for line in "$@"; do printf '  %s\n' "$line" >&2; done
  exit 1
}
finish() {
  status=$?
  if [ -n "$tmp" ]; then rm -rf "$tmp"; fi
  if [ "$status" -ne 0 ] && [ -z "$reported" ]; then
    printf '%s: stopped while %s (exit %s); the prefix %s is not marked ready.\n' \
      "$me" "$step" "$status" "$prefix" >&2
    printf '  Run it again; if it stops again, see each step with: sh -x %s\n' "$command_line" >&2
  fi
}
trap finish EXIT

step="making the folder $prefix"
mkdir -p "$prefix" 2>/dev/null ||
  fail "cannot make the folder $prefix." "Check that its parent folder is writable and the disk is not full (df -h)."
prefix=$(cd "$prefix" && pwd)
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
marker="$prefix/$marker_name"
tmp=$(mktemp -d) || fail "cannot make a temporary folder (mktemp -d)." "Check that /tmp is writable and not full."
# The last lines a Wine command wrote, for the message when it failed.
said() { tail -n 4 "$1" 2>/dev/null | tr '\n' ' ' || true; }

# Wine's own Marlett (the skinned menus' check marks) in the prefix's font
# folder: this Wine does not find the fonts of its data folder by itself.
# Checked on every run, so prefixes made before this step get it too.
add_wine_fonts() {
  fonts="$prefix/drive_c/windows/Fonts"
  [ -d "$fonts" ] || return 0
  step="copying Wine's fonts into the prefix"
  for font in /usr/share/wine/fonts/marlett.ttf; do
    [ -f "$font" ] && [ ! -e "$fonts/${font##*/}" ] || continue
    { cp "$font" "$fonts/.${font##*/}.$$" && mv -f "$fonts/.${font##*/}.$$" "$fonts/${font##*/}"; } ||
      fail "cannot copy $font into $fonts." "Check that the prefix is writable and the disk is not full (df -h)."
  done
}
# Checked on every run too, so run prefixes made before this step get it.
undecorated="$prefix/.quorlax-undecorated"
undecorate() {
  [ "$mode" != test ] && [ ! -f "$undecorated" ] || return 0
  step="turning off the window manager's decorations"
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N /f >"$tmp/reg.log" 2>&1 ||
    fail "wine reg add could not turn off the window frames in $prefix. Wine said: $(said "$tmp/reg.log")" \
      "Run the command again; if it fails again, remove $prefix to have it made anew."
  wineserver -w || fail "wineserver -w failed after the window setting in $prefix." "Run the command again."
  touch "$undecorated"
}
if [ -f "$marker" ]; then
  add_wine_fonts
  undecorate
  exit 0
fi

step="waiting for another set-up of the same prefix"
exec 9>"$prefix.lock" || fail "cannot open the lock file $prefix.lock." "Check that $(dirname "$prefix") is writable."
flock 9 || fail "cannot lock $prefix.lock." "Check that no stuck set-up holds it (fuser $prefix.lock)."
[ -f "$marker" ] && exit 0

# Begins from nothing: a prefix left without its marker was stopped half way,
# and a half-made prefix must never be finished off as if it were whole.
start_afresh() {
  if [ -n "$(ls -A "$prefix")" ]; then
    step="emptying the half-made prefix"
    wineserver -k >/dev/null 2>&1 || true  # its server, if a stopped step left one running
    rm -rf "$prefix" ||
      fail "cannot empty the half-made prefix $prefix." "Remove it yourself (rm -rf $prefix) and run the command again."
  fi
  { mkdir -p "$prefix" && touch "$prefix/$owned_name"; } ||
    fail "cannot begin the prefix $prefix." "Check that it is writable and the disk is not full (df -h)."
}
if [ -n "$(ls -A "$prefix")" ] && [ ! -e "$prefix/$owned_name" ] && ! ls -d "$prefix"/.quorlax-ready* >/dev/null 2>&1; then
  fail "$prefix is not empty, and not a prefix this script began; it is left as it is." \
    "Give another folder, or remove this one (rm -rf $prefix) to have it made here."
fi
start_afresh

reg="$tmp/settings.reg"
# The registry file is UTF-16 so the Chinese value names survive.
printf '%s\r\n' 'Windows Registry Editor Version 5.00' '' > "$reg.utf8"
settings=yes
expected=""  # "FILE TEXT" lines: what the registry must hold once the settings are in

# A test prefix is a copy of the build's base test prefix, made once with
# wineboot beside it: Wine's system files are hard links (Wine only reads
# them), the registry and the user's folders are copies of its own. Test
# groups then run side by side, each in its own prefix, without a wineboot
# for every one.
base=$(dirname "$prefix")/wineprefix-base
if [ "$mode" = test ] && [ "$prefix" != "$base" ]; then
  step="making the base test prefix $base"
  "$0" "$base" test || fail "the base test prefix $base could not be made (see above)." \
    "Run the tests again; if it fails again, remove $base to have it made anew."
  step="copying the base test prefix"
  rm -rf "$prefix.new"
  { cp -al "$base" "$prefix.new" &&
      rm -rf "$prefix.new/drive_c/users" "$prefix.new/$marker_name" &&
      cp -a "$base/drive_c/users" "$prefix.new/drive_c/users" &&
      touch "$prefix.new/$owned_name"; } ||
    fail "cannot copy the base test prefix $base into $prefix." \
      "Check the disk space (df -h); remove $base and run the tests again to have it made anew."
  for f in "$base"/*.reg "$base"/drive_c/windows/*.ini; do
    if [ -f "$f" ]; then
      cp --remove-destination "$f" "$prefix.new${f#"$base"}" ||
        fail "cannot copy $f into $prefix." "Check the disk space (df -h) and run the command again."
    fi
  done
  { rm -rf "$prefix" && mv "$prefix.new" "$prefix"; } ||
    fail "cannot put the copied prefix in place at $prefix." "Remove $prefix and $prefix.new, and run the command again."
  settings=""
else
  # wineboot fails now and then on a loaded machine: once more from nothing
  # before giving up. The registry files appear when the server has saved.
  boot() {
    wineboot -i >"$tmp/wineboot.log" 2>&1 && wineserver -w && [ -f "$prefix/system.reg" ] && [ -f "$prefix/user.reg" ]
  }
  step="initialising the prefix (wineboot)"
  if ! boot; then
    printf '%s: wineboot did not initialise %s; trying once more from an empty prefix.\n' "$me" "$prefix" >&2
    start_afresh
    step="initialising the prefix (wineboot, second try)"
    boot || fail "wineboot could not initialise the Wine prefix $prefix, twice. Wine said: $(said "$tmp/wineboot.log")" \
      "Run the command again when the machine is less busy." \
      "To see all of Wine's messages: WINEPREFIX=$prefix wineboot -i" \
      "Check that wine is installed (make setup) and that the disk is not full (df -h)."
  fi
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
  expected="system.reg \"Microsoft Sans Serif\"=\"WenQuanYi Micro Hei\""
  if [ "$mode" = test ]; then
    printf '%s\r\n' '[HKEY_CURRENT_USER\Software\Wine\X11 Driver]' '"Managed"="N"' '' \
      '[HKEY_CURRENT_USER\Software\QuorlaxTests]' '"PrivatePrefix"="1"' '' >> "$reg.utf8"
    expected="$expected
user.reg \"PrivatePrefix\"=\"1\""
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
  expected="$expected
user.reg \"LogPixels\"=dword:$hex"
fi
if [ -n "$settings" ]; then
  step="writing the settings into the prefix's registry"
  iconv -f UTF-8 -t UTF-16 "$reg.utf8" > "$reg" ||
    fail "iconv could not convert the registry settings to UTF-16." "Check that iconv works: echo 汉 | iconv -t UTF-16"
  winreg=$(winepath -w "$reg" 2>"$tmp/winepath.log") && [ -n "$winreg" ] ||
    fail "winepath could not name $reg for Wine. Wine said: $(said "$tmp/winepath.log")" "Run the command again."
  wine regedit /S "$winreg" >"$tmp/regedit.log" 2>&1 ||
    fail "wine regedit could not write the font, window and sound settings into $prefix. Wine said: $(said "$tmp/regedit.log")" \
      "Run the command again; a prefix without its ready marker is made anew."
  wineserver -w || fail "wineserver -w failed after writing the settings into $prefix." "Run the command again."
  # regedit may end well without a word of the file landing: look.
  printf '%s\n' "$expected" | while read -r file text; do
    [ -z "$file" ] || grep -qF -- "$text" "$prefix/$file" ||
      fail "the settings did not reach the registry of $prefix ($text is missing from $file)." \
        "Run the command again; a prefix without its ready marker is made anew."
  done || { reported=yes; exit 1; }
fi
add_wine_fonts
undecorate
step="marking the prefix ready"
touch "$marker" || fail "cannot write the marker $marker." "Check that $prefix is writable."
