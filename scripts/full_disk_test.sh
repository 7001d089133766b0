#!/usr/bin/env bash
# A real full disk, not a simulated one: a skin on a tmpfs of a few MiB,
# filled up but for a little room, is converted over an old target folder
# with `skinconv convert --yes`. The write of the scaled background must fail
# with the system's own "no space" error, and the disk must hold the old state
# byte for byte with no staging folder left. With the room given back the
# same conversion must succeed, so the failure came from the full disk.
#
#   scripts/full_disk_test.sh SKINCONV
#
# The tmpfs is mounted in a private mount namespace (unshare -m), so it
# vanishes with the test whatever happens. Where the machine allows no such
# mount the test is skipped with the reason (exit 77, which ctest reports as
# skipped).
set -euo pipefail

skip() {
  echo "full_disk: SKIPPED: $*"
  exit 77
}
fail() {
  echo "full_disk: FAILED: $*" >&2
  exit 1
}

[[ $# == 1 ]] || { echo "usage: $0 SKINCONV" >&2; exit 2; }
skinconv=$(realpath "$1")
[[ -x $skinconv ]] || fail "no program at $1"

if [[ -z ${FENDRIX_FULL_DISK_NAMESPACE:-} ]]; then
  command -v unshare >/dev/null || skip "unshare is not installed (util-linux)"
  # As root a plain mount namespace; otherwise a user namespace maps us to root.
  flags=(-m --propagation private)
  [[ $(id -u) == 0 ]] || flags=(-r "${flags[@]}")
  unshare "${flags[@]}" true 2>/dev/null ||
    skip "this machine allows no private mount namespace (unshare ${flags[*]} failed)"
  FENDRIX_FULL_DISK_NAMESPACE=1 exec unshare "${flags[@]}" bash "$0" "$skinconv"
fi

# From here on inside the namespace.
work=$(mktemp -d)
notes=$(mktemp -d)
cleanup() {
  umount "$work" 2>/dev/null || true
  rm -rf "$work" "$notes"
}
trap cleanup EXIT
mount -t tmpfs -o size=4m tmpfs "$work" 2>/dev/null ||
  skip "this machine does not let a tmpfs be mounted here"

# The skin: a 400 x 320 background (375 KiB, 300 KiB once scaled), an arrow,
# and an old 1024x768 folder that the conversion replaces.
skin=$work/Skins/Demo
mkdir -p "$skin/1280x1024" "$skin/1024x768"
python3 - "$skin/1280x1024" <<'EOF'
import struct, sys

def bmp(path, width, height):
    stride = (width * 3 + 3) & ~3
    rows = b"".join(
        bytes(v for x in range(width) for v in (200, y * 255 // height, x * 255 // width))
        + b"\0" * (stride - width * 3)
        for y in range(height))
    head = struct.pack("<2sIHHI", b"BM", 54 + len(rows), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(rows), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(head + info + rows)

bmp(sys.argv[1] + "/back.bmp", 400, 320)
bmp(sys.argv[1] + "/ArrowT.bmp", 5, 5)
EOF
printf 'Form=Jukebox\ngfxHintergrund=back.bmp\nTitel.Left=120\n' >"$notes/Skin.txt"
"$skinconv" encode "$notes/Skin.txt" -o "$skin/1280x1024/Skin.vsk"
printf 'old' >"$skin/1024x768/Skin.vsk"
printf 'old picture' >"$skin/1024x768/old.bmp"

# Every folder and every file with its checksum.
state() {
  (cd "$work/Skins" && find . -type d | sort && find . -type f -print0 | sort -z | xargs -0 sha256sum)
}
state >"$notes/before"

# Fill the disk, then give back 64 KiB: enough to begin, too little to finish.
dd if=/dev/zero of="$work/filler" bs=64k status=none 2>/dev/null || true
truncate -s -64K "$work/filler"

set +e
"$skinconv" convert Demo 1024x768 --skins "$work/Skins" --yes >"$notes/out" 2>"$notes/err"
code=$?
set -e
cat "$notes/err"
[[ $code == 5 ]] || fail "convert on a full disk ended with $code, not 5 (failure)"
grep -q "Kein Speicherplatz mehr auf dem Datenträger" "$notes/err" || fail "the message does not give the cause"
grep -q "back.bmp\|Skin.vsk\|ArrowT.bmp" "$notes/err" || fail "the message names no file"
state >"$notes/after"
diff "$notes/before" "$notes/after" || fail "the disk does not hold the old state"
if ls -A "$skin" | grep -q '^~'; then
  fail "left behind: $(ls -A "$skin" | grep '^~')"
fi

# The same conversion with room to spare.
rm "$work/filler"
"$skinconv" convert Demo 1024x768 --skins "$work/Skins" --yes --quiet ||
  fail "convert with room to spare failed"
[[ -f $skin/1024x768/back.bmp && -f $skin/1024x768/Skin.vsk && ! -e $skin/1024x768/old.bmp ]] ||
  fail "the new folder is not complete"
echo "full_disk: passed (failed cleanly on a full tmpfs, converted once there was room)"
