#!/usr/bin/env bash
# End to end: an unattended run that fails hands the window to a person.
# Fendrix.exe /Demo is started as the player starts it, on a skin whose
# background cannot be decoded, while Demo/1024x768 already holds a folder.
# The run must fail with one error box, keep the old folder, and leave the
# program running. The background is then mended and "Skin erstellen" is
# pressed by hand, twice: each press must ask before replacing (No keeps the
# folder, Yes replaces it), the success must be reported, and the program
# must still be running afterwards.
#
# The window is driven with xdotool on a private Xvfb screen. A message box
# is told from the main window by its title ("Fendrix", the main window is
# "ZEL Fendrix"), and the replace question from the error box by its
# answers: only the question takes "n" for No (in English and German alike).
#
# Usage: scripts/e2e_auto_mode.sh FENDRIX_EXE SKINCONV
set -euo pipefail

exe=${1:?Fendrix.exe}
skinconv=${2:?native skinconv}
here=$(cd "$(dirname "$0")/.." && pwd)
wait_seconds=${FENDRIX_E2E_WAIT:-60}

if [[ -z ${FENDRIX_E2E_SCREEN:-} ]]; then
  for tool in xdotool xvfb-run; do
    command -v "$tool" >/dev/null || { echo "e2e: $tool is missing (scripts/bootstrap)" >&2; exit 1; }
  done
  if [[ ! -x $skinconv ]]; then
    echo "e2e: $skinconv is missing; build the native tree first (make native)" >&2
    exit 1
  fi
  FENDRIX_E2E_SCREEN=1 exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$@"
fi

work=$(mktemp -d)
pid=
cleanup() {
  if [[ -n $pid ]] && kill -0 "$pid" 2>/dev/null; then kill "$pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "e2e: $*" >&2
  exit 1
}
step() { echo "e2e: $*"; }

player=$work/Player
base=$player/Skins/Demo/1280x1024
old=$player/Skins/Demo/1024x768
mkdir -p "$player/Tools" "$base" "$old"
cp "$exe" "$player/Tools/Fendrix.exe"
echo alt >"$old/alt.txt"

# A tiny 24-bit BMP of one colour: width, height, blue, green, red.
write_bmp() { python3 "$here/scripts/write_test_bmp.py" "$@"; }

printf 'Form=E2E\ngfxHintergrund=Zelback.bmp\nTitel.Left=120\n' >"$work/Skin.txt"
"$skinconv" encode "$work/Skin.txt" -o "$base/Skin.vsk"
printf 'BM kaputt' >"$base/Zelback.bmp"

# The visible windows whose title is exactly $1, one id a line.
windows_named() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null || true; }

# Waits until a window titled $1 shows, other than the window $2; prints its id.
await_window() {
  local deadline=$((SECONDS + wait_seconds)) id
  while ((SECONDS < deadline)); do
    id=$(windows_named "$1" | grep -vx "${2:-none}" | head -n 1 || true)
    if [[ -n $id ]]; then
      echo "$id"
      return 0
    fi
    kill -0 "$pid" 2>/dev/null || fail "Fendrix.exe ended while waiting for \"$1\""
    sleep 0.5
  done
  fail "no window \"$1\" within $wait_seconds s"
}

# Waits until no window titled $1 shows; true when none is left.
await_gone() {
  local deadline=$((SECONDS + 10))
  while ((SECONDS < deadline)); do
    [[ -z $(windows_named "$1") ]] && return 0
    sleep 0.3
  done
  return 1
}

# Presses keys in a window: there is no window manager, so the input focus
# is put on it first.
press() {
  local id=$1
  shift
  xdotool windowfocus --sync "$id" 2>/dev/null || xdotool windowfocus "$id"
  sleep 0.3
  xdotool key --clearmodifiers "$@"
}

expect_alive() {
  sleep 1
  kill -0 "$pid" 2>/dev/null || fail "Fendrix.exe has ended: $*"
}

"$here/cmake/wine-run" "$player/Tools/Fendrix.exe" /Demo >"$work/wine.log" 2>&1 &
pid=$!

# 1. The unattended run fails on the background: one error box, nothing replaced.
step "the unattended run"
box=$(await_window Fendrix)
[[ -f $old/alt.txt && ! -e $old/Skin.vsk ]] || fail "the failed run touched $old"
press "$box" Return
await_gone Fendrix || fail "the error box did not take Return"
main=$(await_window "ZEL Fendrix")
expect_alive "after the failed unattended run"

# 2. Mended by hand, the skin is converted by hand: the question comes first.
write_bmp "$base/Zelback.bmp" 64 48 0 0 255
step "by hand, answering No"
press "$main" Return # the focus rests on "Skin erstellen"
box=$(await_window Fendrix)
press "$box" n
await_gone Fendrix || fail "the box after the press took no \"n\": it was no replace question"
expect_alive "after No"
[[ -f $old/alt.txt && ! -e $old/Skin.vsk ]] || fail "No did not keep $old"

# 3. Yes replaces the folder and the success is shown; the window stays.
step "by hand, answering Yes"
press "$main" Return
box=$(await_window Fendrix)
press "$box" Return # Yes is the default button
box=$(await_window Fendrix "$box") # the success box, once the question has gone
[[ -f $old/Skin.vsk && ! -e $old/alt.txt ]] || fail "Yes did not replace $old"
press "$box" Return
await_gone Fendrix || fail "the success box did not take Return"
expect_alive "after the run by hand"
[[ -n $(windows_named "ZEL Fendrix") ]] || fail "the main window is gone"

# The window closes as a person closes it.
press "$main" alt+F4
for _ in $(seq 1 20); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.5
done
kill -0 "$pid" 2>/dev/null && fail "Fendrix.exe did not end on Alt+F4"
pid=
echo "e2e: the failed unattended run left a window that asked, reported and stayed open"
