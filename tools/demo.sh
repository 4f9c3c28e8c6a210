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
source "$root/tools/wine-env"
wine_env_start >/dev/null
mkdir -p "$out"
sim() { (cd "$bin" && timeout 30 wine ScriboService.exe --send "$@" </dev/null); }

# The default configuration tree goes into the user's roaming folder, as the installer puts it.
if [ -f "$bin/xml/scribo.xml" ]; then
  appdata="$(timeout 60 wine cmd /c 'echo %APPDATA%' 2>/dev/null | tr -d '\r')"
  target="$(winepath -u "$appdata" 2>/dev/null)/Scribo/xml"
  mkdir -p "$target"
  [ -f "$target/scribo.xml" ] || cp "$bin/xml/scribo.xml" "$target/scribo.xml"
fi

# Any earlier demo is ended first.
sim exit >/dev/null 2>&1 || true
sim quit >/dev/null 2>&1 || true
cd "$bin"
desktop="Scribo,1280x800"
(setsid wine explorer "/desktop=$desktop" ScriboService.exe >/dev/null 2>&1 &)
for _ in $(seq 100); do sim monitors >/dev/null 2>&1 && break; sleep 0.2; done
(setsid wine explorer "/desktop=$desktop" Scribo.exe >/dev/null 2>&1 &)
for _ in $(seq 100); do [ "$(sim send 0x422 3 0 2>/dev/null)" = "1" ] && break; sleep 0.2; done

cat <<TXT
The demo runs: the service stand-in with the demo devices and the panel in the notification area
of the Wine desktop "Scribo". Drive the stand-in from another shell, for example:
  (cd build/windows/bin && tools/wine-run ScriboService.exe --send arrive 0x0A31)
  commands: arrive PID | remove PID | show | trayicon 1|2 | ink 0|1 | precision | monitors |
            selectmonitor N | areaset X Y W H | reload | exit | info TEXT | quit
TXT

if [ "$interactive" = 1 ]; then
  exit 0
fi

shot() { import -display "$DISPLAY" -window root "$out/$1.png"; echo "screenshot: build/demo/$1.png"; }
sleep 1
sim post 0x414 1 513 >/dev/null   # a left click on the notification-area icon
sleep 2
shot main-window
sim post 0x414 1 517 >/dev/null   # a right click: the icon menu
sleep 2
shot tray-menu
xdotool key Escape || true
sim exit >/dev/null || true
sim quit >/dev/null || true
sleep 1
wine_env_stop
