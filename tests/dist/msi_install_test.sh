#!/usr/bin/env bash
# Installs the package silently under Wine, starts the installed panel beside the service
# stand-in, upgrades it and uninstalls it. Runs in a Wine prefix of its own (build/wineprefix-dist)
# so the other tests' prefix never holds an installed product or a start-at-logon value.
#   tests/dist/msi_install_test.sh SOURCE_DIR BIN_DIR
set -euo pipefail
root="$1" bin="$2"
export SCRIBO_WINEPREFIX="$root/build/wineprefix-dist"
source "$root/tools/wine-env"
wine_env_start >/dev/null
work="$(mktemp -d)"
fail() { echo "FAIL: $*" >&2; exit 1; }
w() { timeout -k 5 120 wine "$@" </dev/null; }
sim() { (cd "$bin" && timeout -k 5 30 wine ScriboService.exe --send "$@" </dev/null 2>/dev/null); }

"$root/tools/dist/make-msi.sh" "$bin" "$work/Scribo-1.6.4.msi" 1.6.4 >/dev/null 2>&1
"$root/tools/dist/make-msi.sh" "$bin" "$work/Scribo-1.6.5.msi" 1.6.5 >/dev/null 2>&1
msi() { winepath -w "$work/Scribo-$1.msi" 2>/dev/null; }

pf="$(winepath -u 'C:\Program Files\Scribo' 2>/dev/null)"
appdata="$(w cmd /c echo %APPDATA% 2>/dev/null | tr -d '\r')"
# Windows puts a per-machine shortcut into the common Start menu; Wine 8 puts it into the
# installing user's. Either one counts.
shortcut() {
  local common user
  common="$(winepath -u 'C:\ProgramData\Microsoft\Windows\Start Menu\Programs' 2>/dev/null)"
  user="$(winepath -u "$appdata\Microsoft\Windows\Start Menu\Programs" 2>/dev/null)"
  [ -f "$common/Scribo.lnk" ] || [ -f "$user/Scribo.lnk" ]
}
user_cfg="$(winepath -u "$appdata" 2>/dev/null)/Scribo/xml/scribo.xml"
run_value() { w reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Run' /v Scribo /reg:64 2>/dev/null | tr -d '\r' | grep -i 'Scribo' | grep -c 'REG_SZ' || true; }

cleanup() {
  sim exit >/dev/null 2>&1 || true
  sim quit >/dev/null 2>&1 || true
  for v in 1.6.5 1.6.4; do w msiexec /x "$(msi $v)" /qn >/dev/null 2>&1 || true; done
  rm -rf "$work"
}
trap cleanup EXIT
# A run that was cut short leaves nothing that would start with this prefix.
for v in 1.6.5 1.6.4; do w msiexec /x "$(msi $v)" /qn >/dev/null 2>&1 || true; done
rm -f "$user_cfg"

# Install, per machine, silently.
w msiexec /i "$(msi 1.6.4)" /qn >/dev/null 2>&1 || fail "install failed"
for f in Scribo.exe ResDLL.dll language/English.ini language/Thai.ini xml/scribo.xml; do
  [ -f "$pf/$f" ] || fail "$f not installed"
done
for f in ScriboService.exe WinTab32.dll dxva2.dll; do
  [ ! -e "$pf/$f" ] || fail "the stand-in $f was installed"
done
shortcut || fail "no Start-menu shortcut"
[ "$(run_value)" = 1 ] || fail "no start at logon"

# The installed panel starts beside the stand-in; its first run puts the default configuration
# into the roaming folder.
(cd "$bin" && setsid wine ScriboService.exe --profile "$(winepath -w "$root/tools/service-sim/demo.profile")" \
  --log "$(winepath -w "$work/service.log")" </dev/null >/dev/null 2>&1 &)
for _ in $(seq 100); do sim monitors >/dev/null && break; sleep 0.2; done
(cd "$pf" && setsid wine "C:\\Program Files\\Scribo\\Scribo.exe" </dev/null >/dev/null 2>&1 &)
up=0
for _ in $(seq 150); do [ "$(sim send 0x422 3 0)" = "1" ] && { up=1; break; }; sleep 0.2; done
[ "$up" = 1 ] || fail "the installed panel did not start"
cmp -s "$user_cfg" "$root/resources/xml/scribo.xml" || fail "the first run did not copy the default configuration"
sim exit >/dev/null || true
sim quit >/dev/null || true
sleep 1

# The user's own settings survive an upgrade and the uninstall.
printf '<mine/>' > "$user_cfg"
w msiexec /i "$(msi 1.6.5)" /qn >/dev/null 2>&1 || fail "upgrade failed"
[ -f "$pf/Scribo.exe" ] || fail "the upgrade removed the program"
[ "$(cat "$user_cfg")" = "<mine/>" ] || fail "the upgrade touched the user's configuration"
products="$(w reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s /reg:64 2>/dev/null | tr -d '\r' | grep -c 'DisplayName.*REG_SZ.*Scribo$' || true)"
[ "$products" = 1 ] || fail "$products products registered after the upgrade"

w msiexec /x "$(msi 1.6.5)" /qn >/dev/null 2>&1 || fail "uninstall failed"
[ ! -e "$pf" ] || fail "files left in Program Files: $(cd "$pf" && find . | head)"
! shortcut || fail "the shortcut is left"
[ "$(run_value)" = 0 ] || fail "the start at logon is left"
[ "$(cat "$user_cfg")" = "<mine/>" ] || fail "the uninstall touched the user's configuration"
echo "msi install: ok"
