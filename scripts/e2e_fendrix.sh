#!/usr/bin/env bash
# End to end, as the player starts the tool: Fendrix.exe lies in Player/Tools
# beside Player/Skins and gets "/demo" on its command line. Under Wine on a
# 1024x768 screen it must convert the skin Demo to 1024x768 and exit on its
# own. The skin is made here with the native skinconv, independent of the
# tests' own helpers.
#
# It runs twice, in the C locale (decimal point) and in a German one (decimal
# comma): skins are written with commas either way, and both runs must give
# the same lines.
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

if ! locale -a 2>/dev/null | grep -qix 'de_DE\.utf-\?8'; then
  echo "e2e: the locale de_DE.UTF-8 is missing; run scripts/bootstrap" >&2
  exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A tiny 24-bit BMP of one colour: width, height, blue, green, red.
write_bmp() { python3 "$here/scripts/write_test_bmp.py" "$@"; }

# Values with a decimal comma, one with blanks around it (the line ends in a
# blank).
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
Knopf.Left=12,5
Knopf.Top= 101,9 
Knopf.FontSize=8,25
TXT
"$skinconv" encode "$work/Skin.txt" -o "$work/Skin.vsk"

# 1280x1024 to 1024x768: x by 1.25, y by 1.3333334 (single), fonts by
# 1.2916667, each rounded down; 200 / 1.3333334 lies just below 150.
# 12,5 / 1.25 is 10 exactly; 101,9 / 1.3333334 is 76.42; 8,25 / 1.2916667 is 6.39.
expected=$(
  cat <<'TXT'
Form=E2E
gfxHintergrund=Zelback.bmp
gfxSchluss=Ende.bmp
Titel.Left=96
Titel.Top=71
Titel.Width=512
Titel.Height=149
Titel.FontSize=7
Titel.Caption=Hallo
Knopf.Left=10
Knopf.Top=76
Knopf.FontSize=6
TXT
)

fail() {
  echo "e2e: $*" >&2
  exit 1
}

# The monetary decimal separator Wine gives a program under the locale: the
# German run would prove nothing if it fell back to the C locale's point.
wine_decimal_separator() {
  LANG=$1 LC_ALL=$1 timeout "$timeout_seconds" "$here/cmake/wine-run" \
    reg query 'HKCU\Control Panel\International' /v sMonDecimalSep |
    tr -d '\r' | sed -n 's/^ *sMonDecimalSep *REG_SZ *//p'
}

# One run in a fresh player folder under the given locale, in which Wine must
# report the given decimal separator.
run_in_locale() {
  local locale=$1 separator=$2
  local player=$work/$locale/Player
  local base=$player/Skins/Demo/1280x1024
  mkdir -p "$player/Tools" "$base"
  cp "$exe" "$player/Tools/Fendrix.exe"
  cp "$work/Skin.vsk" "$base/Skin.vsk"
  write_bmp "$base/Zelback.bmp" 64 48 0 0 255
  write_bmp "$base/Ende.bmp" 20 10 255 0 0

  local status=0
  LANG=$locale LC_ALL=$locale xvfb-run -a -s "-screen 0 1024x768x24" \
    timeout "$timeout_seconds" "$here/cmake/wine-run" "$player/Tools/Fendrix.exe" /demo ||
    status=$?
  if ((status == 124)); then
    fail "$locale: Fendrix.exe did not exit within $timeout_seconds s"
  fi
  local seen
  seen=$(wine_decimal_separator "$locale" || true)
  [[ $seen == "$separator" ]] ||
    fail "$locale: Wine gives the decimal separator '$seen', not '$separator'"

  local made=$player/Skins/Demo/1024x768
  [[ -f $made/Skin.vsk ]] || fail "$locale: no $made/Skin.vsk (exit status $status)"
  local actual
  actual=$("$skinconv" decode "$made/Skin.vsk" | tr -d '\r')
  if [[ $actual != "$expected" ]]; then
    diff <(echo "$expected") <(echo "$actual") >&2 || true
    fail "$locale: Skin.vsk differs from the expected lines"
  fi
  for bitmap in Zelback.bmp Ende.bmp; do
    [[ $(head -c 2 "$made/$bitmap" 2>/dev/null) == BM ]] ||
      fail "$locale: $bitmap missing or not a BMP"
  done
  local leftovers
  leftovers=$(find "$player/Skins/Demo" -mindepth 1 -maxdepth 1 -name '~*')
  [[ -z $leftovers ]] || fail "$locale: work folders left behind: $leftovers"
  echo "e2e: $locale (decimal '$separator'): Demo converted to 1024x768 and Fendrix.exe exited ($status)"
}

# C.UTF-8 rather than C: Wine needs UTF-8 to map every code-page byte of a
# file name.
run_in_locale C.UTF-8 .
run_in_locale de_DE.UTF-8 ,
