#!/usr/bin/env bash
# Converts the same skins with two skinconv binaries and compares what each
# left behind byte for byte: every output file, the exit code, and what it
# printed on stdout and stderr (the seconds in the summary line aside, which
# differ from run to run). Prints every difference; exits 0 only when there
# is none, 1 when there is one, 2 when it cannot run.
#
#   scripts/compare_outputs.sh OLD_SKINCONV NEW_SKINCONV
#
# The skins: the demo skin (make_demo from demo/Skin.txt), the benchmark
# skins of make_bench_skins --smoke, each to the resolution the benchmark
# converts it to, and every Skin.vsk seed of the run and skin-file fuzzers,
# each alone in a skin of its own (1280x1024, no bitmaps) converted to
# 1024x768. The generators beside NEW_SKINCONV make them, unless MAKE_DEMO or
# MAKE_BENCH_SKINS name others. KEEP=1 keeps the work folder and names it.
set -uo pipefail

if [[ $# != 2 ]]; then
  echo "usage: $0 OLD_SKINCONV NEW_SKINCONV" >&2
  exit 2
fi
old=$(realpath "$1") new=$(realpath "$2")
repo=$(cd "$(dirname "$0")/.." && pwd)
tools=$(dirname "$new")
make_demo=${MAKE_DEMO:-$tools/make_demo}
make_bench_skins=${MAKE_BENCH_SKINS:-$tools/make_bench_skins}
for program in "$old" "$new" "$make_demo" "$make_bench_skins"; do
  if [[ ! -x $program ]]; then
    echo "compare_outputs: $program is not an executable program" >&2
    exit 2
  fi
done

work=$(mktemp -d "${TMPDIR:-/tmp}/fendrix-compare.XXXXXX")
if [[ ${KEEP:-0} == 1 ]]; then
  echo "compare_outputs: work folder $work"
else
  trap 'rm -rf "$work"' EXIT
fi
inputs=$work/inputs
skins=$inputs/skins
jobs=$work/jobs  # one "skin base target" a line

# The resolution the benchmark converts a skin of this base resolution to.
bench_target() {
  case $1 in
    1024x768 | 1920x1200) echo 1280x1024 ;;
    *) echo 1024x768 ;;
  esac
}

make_inputs() {
  mkdir -p "$skins" || return 1
  "$make_demo" "$repo/demo/Skin.txt" "$skins" >/dev/null || return 1
  echo "Demo 1280x1024 1024x768" >>"$jobs"
  "$make_bench_skins" "$work/bench" --smoke >/dev/null || return 1
  local skin base
  for skin in "$work"/bench/skins/*/; do
    skin=$(basename "$skin")
    base=$(basename "$(ls -d "$work/bench/skins/$skin"/*/ | head -n 1)")
    cp -a "$work/bench/skins/$skin" "$skins/" || return 1
    echo "$skin $base $(bench_target "$base")" >>"$jobs"
  done
  local seed name
  for seed in "$repo"/fuzz/corpus/run_fuzz/* "$repo"/fuzz/corpus/skin_file_fuzz/*; do
    name="Seed-$(basename "$(dirname "$seed")")-$(basename "$seed")"
    mkdir -p "$skins/$name/1280x1024" || return 1
    cp "$seed" "$skins/$name/1280x1024/Skin.vsk" || return 1
    echo "$name 1280x1024 1024x768" >>"$jobs"
  done
}

# Runs every job with one binary in $work/run, so that both binaries see the
# same paths and print the same messages, then moves the result to $work/$2.
convert_all() {
  local binary=$1 side=$2 skin base target log
  rm -rf "$work/run"
  cp -a "$inputs" "$work/run" || return 1
  mkdir -p "$work/run/printed"
  while read -r skin base target; do
    log=$work/run/printed/$skin
    "$binary" convert "$skin" "$target" --skins "$work/run/skins" --from "$base" --yes \
      >"$log.stdout" 2>"$log.stderr" </dev/null
    echo $? >"$log.exit"
    sed -i -E 's/[0-9]+([.,][0-9]+)? s \(/<seconds> s (/' "$log.stdout" "$log.stderr"
  done <"$jobs"
  mv "$work/run" "$work/$side"
}

if ! make_inputs; then
  echo "compare_outputs: cannot make the input skins" >&2
  exit 2
fi
convert_all "$old" old && convert_all "$new" new || {
  echo "compare_outputs: cannot lay out the work folder $work" >&2
  exit 2
}

count=$(wc -l <"$jobs")
files=$(find "$work/old" -type f | wc -l)
differences=$(diff -r -q "$work/old" "$work/new")
if [[ -z $differences ]]; then
  echo "compare_outputs: all $count conversions match ($files files, exit codes and output)"
  exit 0
fi
echo "$differences" | sed "s|$work/||g"
# What each printed differently, in full; of other files the first byte.
while read -r _ a _ b _; do
  case $a in
    */printed/*) diff -u --label "${a#"$work"/}" --label "${b#"$work"/}" "$a" "$b" ;;
    *) [[ -f $a && -f $b ]] && cmp "$a" "$b" 2>&1 | sed "s|$work/||g" ;;
  esac
done < <(echo "$differences" | grep '^Files ')
echo "compare_outputs: the two binaries differ ($(echo "$differences" | wc -l) entries)"
exit 1
