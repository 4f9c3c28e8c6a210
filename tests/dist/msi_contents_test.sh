#!/usr/bin/env bash
# The installer holds exactly the product, byte for byte as built, and installs per machine with
# a Start-menu shortcut and a start at logon. Runs natively on the Windows build's folder.
#   tests/dist/msi_contents_test.sh SOURCE_DIR BIN_DIR
set -euo pipefail
root="$1" bin="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

"$root/tools/dist/make-msi.sh" "$bin" "$work/Scribo.msi" 1.6.4 >/dev/null 2>"$work/wixl.log" \
  || { cat "$work/wixl.log" >&2; fail "the installer could not be built"; }

# The file list: the program, the picture library, every language file and the default
# configuration. Nothing else, whatever else the build folder holds (the stand-ins live there).
msiextract -C "$work/x" "$work/Scribo.msi" | sort > "$work/got"
{
  echo Scribo/Scribo.exe
  echo Scribo/ResDLL.dll
  for f in "$root"/resources/language/*.ini; do echo "Scribo/language/$(basename "$f")"; done
  for f in "$root"/resources/xml/*.xml; do echo "Scribo/xml/$(basename "$f")"; done
} | sort > "$work/want"
diff -u "$work/want" "$work/got" || fail "the package's files differ from the product's"
grep -qiE 'ScriboService|wintab32|dxva2' "$work/got" && fail "a stand-in is in the package"
while read -r f; do
  cmp -s "$work/x/$f" "$bin/${f#Scribo/}" || fail "$f is not the built file"
done < "$work/got"

table() { msiinfo export "$work/Scribo.msi" "$1" | tr -d '\r' | tail -n +4; }
# Per machine, into the 64-bit Program Files.
table Property | grep -qx $'ALLUSERS\t1' || fail "not a per-machine package"
msiinfo suminfo "$work/Scribo.msi" | grep -q '^Template: x64;' || fail "not an x64 package"
table Directory | grep -q $'^INSTALLDIR\tProgramFiles64Folder\tScribo$' || fail "not in Program Files"
# Start menu shortcut to the program itself (not an advertised one).
table Shortcut | grep -q $'^StartMenuShortcut\tProgramMenuFolder\tScribo\tScriboExe\t\\[#ScriboExe\\]' \
  || fail "no Start-menu shortcut to Scribo.exe"
# Started at logon for every user.
table Registry | grep -q $'\t2\tSoftware\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Run\tScribo\t"\\[INSTALLDIR\\]Scribo.exe"\t' \
  || fail "no Run value in HKLM"
# Upgrades replace an older version; the same version's product code is stable.
"$root/tools/dist/make-msi.sh" "$bin" "$work/again.msi" 1.6.4 >/dev/null 2>&1
"$root/tools/dist/make-msi.sh" "$bin" "$work/next.msi" 1.6.5 >/dev/null 2>&1
code() { msiinfo export "$1" Property | tr -d '\r' | grep '^ProductCode' | cut -f2; }
[ "$(code "$work/Scribo.msi")" = "$(code "$work/again.msi")" ] || fail "product code not stable"
[ "$(code "$work/Scribo.msi")" != "$(code "$work/next.msi")" ] || fail "product code not per version"
table Upgrade | grep -q 'WIX_UPGRADE_DETECTED' || fail "no major upgrade"

# A build folder without the picture library gives no installer, not an incomplete one.
mkdir -p "$work/partial"
cp -r "$bin/language" "$bin/xml" "$bin/Scribo.exe" "$work/partial/"
if "$root/tools/dist/make-msi.sh" "$work/partial" "$work/partial.msi" 1.6.4 >/dev/null 2>&1; then
  fail "an installer was built without ResDLL.dll"
fi
[ ! -e "$work/partial.msi" ] || fail "a partial installer was left behind"
echo "msi contents: ok ($(wc -l < "$work/got") files)"
