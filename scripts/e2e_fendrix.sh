#!/usr/bin/env bash
# End to end, as the player starts the tool: Fendrix.exe lies in Player/Tools
# beside Player/Skins and gets "/demo" on its command line. Under Wine on a
# 1024x768 screen it must convert the skin Demo to 1024x768 and exit on its
# own. The skin is made here with the native skinconv, independent of the
# tests' own helpers.
#
# Usage: scripts/e2e_fendrix.sh FENDRIX_EXE SKINCONV
set -euo pipefail

exe=${1:?Fendrix.exe}
skinconv=${2:?native skinconv}
here=$(cd "$(dirname "$0")/.." && pwd)
timeout_seconds=${FENDRIX_E2E_TIMEOUT:-120}

if [[ ! -x $skinconv ]]; then
  echo "e2e: $skinconv is missing; build the native tree first (make native)" >&2
  exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
player=$work/Player
base=$player/Skins/Demo/1280x1024
mkdir -p "$player/Tools" "$base"
cp "$exe" "$player/Tools/Fendrix.exe"

# A tiny 24-bit BMP of one colour: width, height, blue, green, red.
write_bmp() {
  python3 - "$@" <<'PY'
import struct, sys
path, width, height, b, g, r = sys.argv[1], *map(int, sys.argv[2:])
row = bytes([b, g, r]) * width
row += b"\0" * (-len(row) % 4)
pixels = row * height
header = struct.pack("<2sIHHI", b"BM", 54 + len(pixels), 0, 0, 54)
info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
open(path, "wb").write(header + info + pixels)
PY
}

cat >"$work/Skin.txt" <<'TXT'
Form=E2E
gfxHintergrund=Zelback.bmp
gfxSchluss=Ende.bmp
Titel.Left=120
Titel.Top=96
Titel.Width=640
Titel.Height=200
Titel.FontSize=10
Titel.Caption=Hallo
TXT
"$skinconv" encode "$work/Skin.txt" -o "$base/Skin.vsk"
write_bmp "$base/Zelback.bmp" 64 48 0 0 255
write_bmp "$base/Ende.bmp" 20 10 255 0 0

# 1280x1024 to 1024x768: x by 1.25, y by 1.3333334 (single), fonts by
# 1.2916667, each rounded down; 200 / 1.3333334 lies just below 150.
expected=$'Form=E2E\ngfxHintergrund=Zelback.bmp\ngfxSchluss=Ende.bmp\nTitel.Left=96\nTitel.Top=71\nTitel.Width=512\nTitel.Height=149\nTitel.FontSize=7\nTitel.Caption=Hallo'

status=0
xvfb-run -a -s "-screen 0 1024x768x24" \
  timeout "$timeout_seconds" "$here/cmake/wine-run" "$player/Tools/Fendrix.exe" /demo || status=$?
if ((status == 124)); then
  echo "e2e: Fendrix.exe did not exit within $timeout_seconds s" >&2
  exit 1
fi

made=$player/Skins/Demo/1024x768
fail() {
  echo "e2e: $*" >&2
  exit 1
}
[[ -f $made/Skin.vsk ]] || fail "no $made/Skin.vsk (exit status $status)"
actual=$("$skinconv" decode "$made/Skin.vsk" | tr -d '\r')
if [[ $actual != "$expected" ]]; then
  diff <(echo "$expected") <(echo "$actual") >&2 || true
  fail "Skin.vsk differs from the expected lines"
fi
for bitmap in Zelback.bmp Ende.bmp; do
  [[ $(head -c 2 "$made/$bitmap" 2>/dev/null) == BM ]] || fail "$bitmap missing or not a BMP"
done
leftovers=$(find "$player/Skins/Demo" -mindepth 1 -maxdepth 1 -name '~*')
[[ -z $leftovers ]] || fail "work folders left behind: $leftovers"
echo "e2e: Demo converted to 1024x768 and Fendrix.exe exited ($status)"
