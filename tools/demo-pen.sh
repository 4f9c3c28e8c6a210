#!/usr/bin/env bash
# Demo pictures of the pen and pressure groups while the Wintab stand-in presses, of the function
# assignment dialog with a recorded key combination, and of the info strip over a light and a
# dark background. Called by demo.sh on Xvfb, in the demo's Wine prefix and virtual desktop.
#
# The panel runs from a demo layout (build/demo-layout: the product folder with the WinTab32.dll
# stand-in beside it). The stand-in is never put into the product folder itself.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bin="$root/build/windows/bin"
layout="$root/build/demo-layout"
out="$root/build/demo"
export SCRIBO_WINEPREFIX="$root/build/wineprefix-demo"
source "$root/tools/wine-env"
mkdir -p "$out"

rm -rf "$layout"
mkdir -p "$layout"
cp -r "$bin"/. "$layout"/
cp "$root/build/windows/standins/WinTab32.dll" "$layout"/

# The demo devices on one 1280 x 800 monitor, the size of the virtual desktop, so the info strip
# sits at its bottom.
sed -e 's/^rect0 = .*/rect0 = 0 0 1280 800/' -e 's/^rect1 = .*/rect1 = 0 0 1280 800/' \
    -e '/^rect2 = /d' -e 's/^monitorCount = .*/monitorCount = 1/' -e 's/^currentMonitor = .*/currentMonitor = 1/' \
    "$root/tools/service-sim/demo.profile" >"$layout/demo-pen.profile"

sim() { (cd "$layout" && timeout 30 wine ScriboService.exe --send "$@" </dev/null); }
shot() {
  import -display "$DISPLAY" -window root -crop "$2" +repage "$out/$1.png"
  echo "screenshot: build/demo/$1.png"
}

cd "$layout"
(setsid wine ScriboService.exe --profile demo-pen.profile >/dev/null 2>&1 &)
for _ in $(seq 100); do sim monitors >/dev/null 2>&1 && break; sleep 0.2; done
# The demo tablet: a softer curve (Soft/Hard position 3) and a custom function on its lower button.
sim set 0 pressureCurve 0 0.3 0.7 1 >/dev/null
sim set 0 penButton1Index 5 >/dev/null
sim set 0 penButton1Descriptor '1|Ctrl+Z|90|44|2' >/dev/null
sim set 0 monitorIndex 1 >/dev/null
# Pen strokes whose pressure rises and falls, 200 packets/s.
(SCRIBO_WINTAB_SCRIPT=stroke SCRIBO_WINTAB_RATE=200 SCRIBO_WINTAB_STROKE=300 setsid wine Scribo.exe >/dev/null 2>&1 &)
for _ in $(seq 100); do [ "$(sim send 0x422 3 0 2>/dev/null)" = "1" ] && break; sleep 0.2; done
sim show >/dev/null
sleep 2
# The panel is centred on the desktop; the pen over it makes the bar move.
xdotool mousemove 640 380
sleep 1.2
shot pen-pressure-live 330x390+250+205
shot main-window-live 1280x800+0+0

# The function assignment dialog of the lower pen button: the keyboard option (arrow keys move
# through the options), then Ctrl+S pressed and recorded.
sim post 0x111 $(( (1 << 16) | 1003 )) 0 >/dev/null
sleep 3
for _ in 1 2 3 4 5 6 7; do xdotool key Down; sleep 0.2; done
xdotool key ctrl+s
sleep 1
shot hotkeys-dialog 1280x800+0+0
xdotool key alt+F4   # closes it: recorded as keys but never consumed
sleep 1

# The info strip over a light window, then over the dark desktop; the panel goes to the tray.
sim post 0x111 2 0 >/dev/null
(setsid wine start /max notepad >/dev/null 2>&1 &)
sleep 4
sim info "Tablet area set." >/dev/null || true
shot info-light 1280x120+0+680
xdotool key alt+F4   # the maximised editor has the focus
sleep 2
sim info "Use the pen to mark the area of the tablet you want to use." >/dev/null || true
shot info-dark 1280x120+0+680
sim exit >/dev/null || true
sim quit >/dev/null || true
