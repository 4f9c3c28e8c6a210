#!/usr/bin/env bash
# Installs the Debian packages listed in debian-packages.txt that are not installed yet.
set -euo pipefail
list="$(dirname "$0")/debian-packages.txt"
missing=()
while read -r pkg; do
  [[ -z "$pkg" || "$pkg" == \#* ]] && continue
  dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || missing+=("$pkg")
done < "$list"
if ((${#missing[@]} == 0)); then
  echo "deps: all packages present"
  exit 0
fi
echo "deps: installing ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
