#!/usr/bin/env bash
# The release archive as an operator gets it: unpacked into a player's folder
# (Player/Tools beside Player/Skins), both programs must start from there under
# Wine, find the skins on their own and convert the demo skin; the guide must
# read as Windows reads it.
#
# Usage: scripts/dist_test.sh ARCHIVE MAKE_DEMO SKINCONV
#   MAKE_DEMO and SKINCONV are the native tools that make and convert the demo
#   skin the archive's programs are compared against.
set -euo pipefail

archive=${1:?release archive}
make_demo=${2:?native make_demo}
skinconv=${3:?native skinconv}
here=$(cd "$(dirname "$0")/.." && pwd)
timeout_seconds=${FENDRIX_E2E_TIMEOUT:-120}
fail() {
  echo "dist: $*" >&2
  exit 1
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
player=$work/Player
mkdir -p "$player"
(cd "$player" && cmake -E tar xf "$archive")
listing=$(cd "$player" && find . -type f | sort | tr '\n' ' ')
[[ $listing == "./Tools/Fendrix.exe ./Tools/LIESMICH.txt ./Tools/skinconv.exe " ]] ||
  fail "the archive holds $listing"

# The one version, as the archive's name and the program give it.
version=$(basename "$archive" | sed -n 's/^Fendrix-\(.*\)-win32\.zip$/\1/p')
[[ -n $version ]] || fail "$archive is not named Fendrix-<version>-win32.zip"
guide=$player/Tools/LIESMICH.txt
iconv -f WINDOWS-1252 -t UTF-8 "$guide" | grep -q "^Fendrix $version"$'\r'"$" ||
  fail "LIESMICH.txt does not start with the version $version in Windows-1252 and CR LF"
[[ $(grep -c $'\r$' "$guide") == $(wc -l <"$guide") ]] || fail "LIESMICH.txt has lines without CR LF"
/usr/bin/python3 "$here/scripts/check_resources.py" "$player/Tools/Fendrix.exe" >/dev/null ||
  fail "the archive's Fendrix.exe lost its resources"

wine() { timeout "$timeout_seconds" "$here/cmake/wine-run" "$@"; }
shown=$(wine "$player/Tools/skinconv.exe" --version | tr -d '\r')
[[ $shown == "skinconv $version" ]] || fail "skinconv --version says '$shown', not 'skinconv $version'"

"$make_demo" "$here/demo/Skin.txt" "$player/Skins" >/dev/null
listed=$(wine "$player/Tools/skinconv.exe" list | tr -d '\r')
[[ $listed == *Demo* ]] || fail "skinconv.exe beside Skins does not list the demo skin: $listed"

# "/Demo" converts to the screen's resolution (Xvfb's 1024x768) and closes.
wine "$player/Tools/Fendrix.exe" /Demo >/dev/null 2>&1 || fail "Fendrix.exe /Demo failed"
made=$player/Skins/Demo/1024x768/Skin.vsk
[[ -f $made ]] || fail "Fendrix.exe /Demo wrote no $made"
cp -r "$player/Skins" "$work/native"
rm -rf "$work/native/Demo/1024x768"
"$skinconv" convert Demo 1024x768 --skins "$work/native" --quiet
cmp "$made" "$work/native/Demo/1024x768/Skin.vsk" ||
  fail "the archive's Fendrix.exe wrote another Skin.vsk than the native conversion"
echo "dist: $(basename "$archive") installs and converts the demo skin"
