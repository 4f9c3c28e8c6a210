#!/usr/bin/env bash
# Builds the Windows installer of the control panel from a build folder:
#   tools/dist/make-msi.sh BIN_DIR OUTPUT.msi VERSION
# It holds exactly the product: Scribo.exe, ResDLL.dll, language/*.ini and xml/*.xml. The
# development stand-ins (ScriboService.exe, WinTab32.dll, dxva2.dll) that share the build folder
# are never taken: on a user's machine they would replace the driver's own.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
bin="$(cd "$1" && pwd)"
out="$2"
version="$3"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# One component per data file; the names come from the sources, the files from the build (the
# language files as shipped, in UTF-16).
data_components() {  # directory-id folder pattern-dir extension
  local dir_id="$1" folder="$2" sources="$3" ext="$4" n=0 f name
  echo "    <DirectoryRef Id=\"$dir_id\">"
  for f in "$sources"/*."$ext"; do
    name="$(basename "$f")"
    [ -f "$bin/$folder/$name" ] || { echo "make-msi: $bin/$folder/$name is missing" >&2; exit 1; }
    n=$((n + 1))
    echo "      <Component Id=\"${dir_id}_$n\" Guid=\"*\" Win64=\"yes\">"
    echo "        <File Id=\"${dir_id}_$n\" Name=\"$name\" Source=\"bin/$folder/$name\" KeyPath=\"yes\"/>"
    echo "      </Component>"
  done
  echo "    </DirectoryRef>"
}
component_refs() {  # directory-id count
  local i
  for ((i = 1; i <= $2; i++)); do echo "      <ComponentRef Id=\"$1_$i\"/>"; done
}

languages=("$root"/resources/language/*.ini)
xmls=("$root"/resources/xml/*.xml)
{
  echo '<?xml version="1.0" encoding="utf-8"?>'
  echo '<Wix xmlns="http://schemas.microsoft.com/wix/2006/wi">'
  echo '  <Fragment>'
  data_components LanguageDir language "$root/resources/language" ini
  data_components XmlDir xml "$root/resources/xml" xml
  echo '    <ComponentGroup Id="DataFiles">'
  component_refs LanguageDir "${#languages[@]}"
  component_refs XmlDir "${#xmls[@]}"
  echo '    </ComponentGroup>'
  echo '  </Fragment>'
  echo '</Wix>'
} > "$work/files.wxs"

for f in Scribo.exe ResDLL.dll; do
  [ -f "$bin/$f" ] || { echo "make-msi: $bin/$f is missing" >&2; exit 1; }
done
# One product code per version, derived from it: installing the same version again is a repair
# of the installed product, a newer version replaces it (major upgrade), an older one is refused.
h="$(printf 'Scribo product %s' "$version" | sha1sum)"
product_code="${h:0:8}-${h:8:4}-5${h:13:3}-a${h:17:3}-${h:20:12}"

# wixl takes sources relative to the .wxs files.
ln -s "$bin" "$work/bin"
cp "$here/Scribo.wxs" "$work/"
mkdir -p "$(dirname "$out")"
out="$(cd "$(dirname "$out")" && pwd)/$(basename "$out")"
(cd "$work" && wixl -a x64 -D Version="$version" -D ProductCode="${product_code^^}" -o "$out.tmp" Scribo.wxs files.wxs)
mv "$out.tmp" "$out"
echo "make-msi: $out"
