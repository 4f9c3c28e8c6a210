#!/usr/bin/env bash
# Starts the service stand-in with the demo devices and the panel in a Wine virtual desktop.
# With a DISPLAY the desktop stays open for you; without one it runs on Xvfb, drives the panel
# through its windows and writes screenshots to build/demo/.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bin="$root/build/windows/bin"
out="$root/build/demo"
interactive=0
[ -n "${DISPLAY:-}" ] && interactive=1
# The demo has a Wine prefix of its own whose programs all run in one virtual desktop (with a
# taskbar and notification area), so the tests' prefix is never switched to a desktop.
export SCRIBO_WINEPREFIX="$root/build/wineprefix-demo"
# The user's own display, when there is one; wine-env starts a virtual one otherwise.
export SCRIBO_DISPLAY="${DISPLAY:-}"
source "$root/tools/wine-env"
wine_env_start >/dev/null
export SCRIBO_DISPLAY="$DISPLAY"  # the same display for demo-pen.sh
wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Scribo /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Scribo /d 1280x800 /f >/dev/null 2>&1
mkdir -p "$out"
sim() { (cd "$bin" && timeout 30 wine ScriboService.exe --send "$@" </dev/null); }

# The default configuration tree goes into the user's roaming folder, as the installer puts it.
"$root/tools/install-config" "$bin/xml/scribo.xml"

# Any earlier demo is ended first.
sim exit >/dev/null 2>&1 || true
sim quit >/dev/null 2>&1 || true
cd "$bin"
(setsid wine ScriboService.exe >/dev/null 2>&1 &)
for _ in $(seq 100); do sim monitors >/dev/null 2>&1 && break; sleep 0.2; done
(setsid wine Scribo.exe >/dev/null 2>&1 &)
for _ in $(seq 100); do [ "$(sim send 0x422 3 0 2>/dev/null)" = "1" ] && break; sleep 0.2; done

cat <<TXT
The demo runs: the service stand-in with the demo devices and the panel in the notification area
of the Wine desktop "Scribo". Drive the stand-in from another shell, for example:
  SCRIBO_WINEPREFIX=build/wineprefix-demo tools/wine-run build/windows/bin/ScriboService.exe --send arrive 0x0A31
  commands: arrive PID | remove PID | show | trayicon 1|2 | ink 0|1 | precision | monitors |
            selectmonitor N | areaset X Y W H | reload | exit | info TEXT | quit
TXT

if [ "$interactive" = 1 ]; then
  exit 0
fi

shot() {
  import -display "$DISPLAY" -window root -crop 1280x800+0+0 +repage "$out/$1.png"
  echo "screenshot: build/demo/$1.png"
}
shown() { [ "$(xdotool search --name '^QM53$' getwindowgeometry 2>/dev/null | grep -c 'Geometry: [1-9]')" -gt 0 ]; }
# The notification-area icon sits at the right end of the desktop's taskbar.
icon_x=1268 icon_y=790
sleep 1
xdotool mousemove "$icon_x" "$icon_y" click 1
sleep 2
shown || sim post 0x414 1 513 >/dev/null   # the shell's click message, if the click missed
sleep 1
shot main-window
xdotool mousemove "$icon_x" "$icon_y"
sim post 0x414 1 517 >/dev/null           # a right click on the icon: its menu at the cursor
sleep 2
shot tray-menu
xdotool key Escape || true

# The mapping group on monitor 1: thumbnail, tablet picture, both trackers.
sim selectmonitor 1 >/dev/null
sim show >/dev/null
sleep 2
shot mapping-tablet
# The selection overlay (button 1148) with its first corner set.
sim post 0x111 1148 0 >/dev/null
sleep 2
xdotool mousemove 300 200 click 1
xdotool mousemove 700 500
sleep 1
shot overlay-first-corner
xdotool key Escape || true
sleep 1
# The precision indicator around the cursor.
xdotool mousemove 640 400
sim precision >/dev/null
sleep 1
shot precision-indicator
sim precision >/dev/null
# Express keys of the 16-key tablet: with the small tablet gone it is the current device.
# The window opens centred on the 1280 x 800 desktop: its tabs, lists and buttons are at fixed places.
click_at() { xdotool mousemove "$1" "$2" click 1; }
sim remove 0x0374 >/dev/null
sleep 1
sim post 0x111 1117 0 >/dev/null
sleep 3
shot express-keys-keys
click_at 522 178; sleep 1; shot express-keys-ring
click_at 579 178; sleep 1; shot express-keys-trackpad
click_at 522 178; sleep 1
click_at 796 268; sleep 1   # the first ring group's list ...
xdotool key Escape; sleep 1
xdotool key End; sleep 2    # ... set to its last item, "Custom"
shot ring-setting
xdotool key Escape; sleep 1
click_at 322 586; sleep 3   # "+"
shot select-program
xdotool key Escape; sleep 1
xdotool key Escape; sleep 1
# The remote arrives beside the tablets: its button opens its window.
sim arrive 0x0A31 >/dev/null
sleep 1
sim post 0x111 1105 0 >/dev/null
sleep 3
shot remote-window
# The main window in other languages. The panel follows the user's interface language, which Wine
# takes from the locale of the environment; the locales are generated once into build/locales.
locales="$root/build/locales"
panel_up() { [ "$(sim send 0x422 3 0 2>/dev/null)" = "1" ]; }
# Ends the panel as the service does. A window that a missed key left open keeps the panel from
# ending (it ends once that window closes), so after a few seconds the demo ends it by force: a
# panel left behind would keep the service's objects alive for the next part of the demo.
end_panel() {
  sim exit >/dev/null 2>&1 || true
  for _ in $(seq 25); do panel_up || return 0; sleep 0.2; done
  wine taskkill /f /im Scribo.exe >/dev/null 2>&1 || true
  for _ in $(seq 25); do panel_up || return 0; sleep 0.2; done
}
language_shot() {  # glibc locale, screenshot name
  local loc="$1" name="$2"
  if [ ! -d "$locales/$loc" ]; then
    mkdir -p "$locales"
    localedef -i "${loc%.UTF-8}" -f UTF-8 "$locales/$loc" >/dev/null 2>&1 || true
  fi
  end_panel
  (LOCPATH="$locales" LC_ALL="$loc" setsid wine Scribo.exe >/dev/null 2>&1 &)
  for _ in $(seq 100); do panel_up && break; sleep 0.2; done
  sleep 1
  xdotool mousemove "$icon_x" "$icon_y" click 1
  sleep 2
  shown || sim post 0x414 1 513 >/dev/null
  sleep 1
  shot "main-window-$name"
}
language_shot de_DE.UTF-8 german
language_shot ja_JP.UTF-8 japanese
language_shot th_TH.UTF-8 thai
end_panel
sim quit >/dev/null || true
sleep 1
bash "$root/tools/demo-pen.sh"
wine_env_stop
