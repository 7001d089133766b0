#!/usr/bin/env bash
# A real kill, not a simulated one: `skinconv convert --yes` over an old
# target folder, on a skin with large bitmaps, is killed with SIGKILL at
# moments spread over the time a whole conversion takes. After each kill the
# skin must hold the old folder or the complete new one (the old one may wait
# as ~1024x768.alt when the kill fell between the renames); the next
# conversion must then succeed and leave the complete new folder alone, with
# nothing beside it.
#
#   scripts/kill_test.sh SKINCONV
set -euo pipefail

fail() {
  echo "kill_test: FAILED: $*" >&2
  exit 1
}

[[ $# == 1 ]] || { echo "usage: $0 SKINCONV" >&2; exit 2; }
skinconv=$(realpath "$1")
[[ -x $skinconv ]] || fail "no program at $1"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The skin: six 1600 x 1200 backgrounds (5.5 MiB each), a copied line, an
# arrow, and an old 1024x768 folder that the conversion replaces.
pristine=$work/pristine/Demo
mkdir -p "$pristine/1280x1024" "$pristine/1024x768"
python3 - "$pristine/1280x1024" <<'PY'
import struct, sys

def bmp(path, width, height, seed):
    stride = (width * 3 + 3) & ~3
    row = bytes((x * 7 + seed * 31) & 255 for x in range(stride))
    rows = b"".join(row[y % 251:] + row[:y % 251] for y in range(height))
    head = struct.pack("<2sIHHI", b"BM", 54 + len(rows), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(rows), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(head + info + rows)

for i in range(6):
    bmp(f"{sys.argv[1]}/back{i}.bmp", 1600, 1200, i)
bmp(sys.argv[1] + "/line.bmp", 300, 1, 9)
bmp(sys.argv[1] + "/ArrowT.bmp", 5, 5, 3)
PY
{
  echo "Form=Jukebox"
  for i in 0 1 2 3 4 5; do printf 'gfxHintergrund=back%d.bmp\nFeld%d.Left=%d\n' $i $i $((i * 100 + 7)); done
  echo "gfxSchluss=line.bmp"
} >"$work/Skin.txt"
"$skinconv" encode "$work/Skin.txt" -o "$pristine/1280x1024/Skin.vsk"
printf 'old' >"$pristine/1024x768/Skin.vsk"
printf 'old picture' >"$pristine/1024x768/old.bmp"

skins=$work/Skins
skin=$skins/Demo
fresh() {
  rm -rf "$skins"
  mkdir -p "$skins"
  cp -a "$pristine" "$skin"
}
# Every file of a folder with its checksum; nothing for a missing folder.
state() {
  [[ -d $1 ]] || return 0
  (cd "$1" && find . -type f -print0 | sort -z | xargs -0 -r sha256sum)
}
convert() {
  "$skinconv" convert Demo 1024x768 --skins "$skins" --yes --quiet
}
now() { date +%s%N; }

old=$(state "$pristine/1024x768")
fresh
started=$(now)
convert || fail "the conversion without a kill failed"
took=$(( ($(now) - started) / 1000 ))  # microseconds
new=$(state "$skin/1024x768")
[[ $(ls -A "$skin") == $'1024x768\n1280x1024' ]] || fail "a whole conversion left: $(ls -A "$skin")"
echo "kill_test: a whole conversion takes $((took / 1000)) ms"

seen_old=0 seen_new=0 seen_aside=0 killed=0
for percent in 1 5 10 20 30 40 50 60 70 80 85 90 95 98 100 105; do
  fresh
  # The program itself in the background, not a shell around it.
  "$skinconv" convert Demo 1024x768 --skins "$skins" --yes --quiet &
  pid=$!
  sleep "$(awk -v t="$took" -v p="$percent" 'BEGIN { printf "%.6f", t * p / 100 / 1e6 }')"
  kill -KILL "$pid" 2>/dev/null && killed=$((killed + 1)) || true
  wait "$pid" 2>/dev/null || true

  for name in $(ls -A "$skin"); do
    [[ $name == 1280x1024 || $name == 1024x768 || $name == "~1024x768."* ]] ||
      fail "killed at $percent%: $name beside the folders"
  done
  target=$(state "$skin/1024x768")
  if [[ ! -d $skin/1024x768 ]]; then
    [[ $(state "$skin/~1024x768.alt") == "$old" ]] ||
      fail "killed at $percent%: the target is missing and the old folder is not set aside whole"
    seen_aside=$((seen_aside + 1))
  elif [[ $target == "$old" ]]; then
    seen_old=$((seen_old + 1))
  elif [[ $target == "$new" ]]; then
    seen_new=$((seen_new + 1))
  else
    fail "killed at $percent%: the target is neither the old folder nor the complete new one"
  fi

  convert || fail "the conversion after the kill at $percent% failed"
  [[ $(state "$skin/1024x768") == "$new" ]] ||
    fail "after the kill at $percent% the next conversion left an incomplete folder"
  [[ $(ls -A "$skin") == $'1024x768\n1280x1024' ]] ||
    fail "after the kill at $percent% the next conversion left: $(ls -A "$skin")"
done
echo "kill_test: passed ($killed kills during a conversion; then the old folder $seen_old times," \
  "the new one $seen_new times, the old one set aside $seen_aside times; every next run repaired it)"
