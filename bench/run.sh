#!/bin/sh
# Whole-tool benchmark: 32 segments of 60 s at 44100, 48000 and 8000 Hz, and
# 1 segment at 48000 Hz for the memory comparison. Prints seconds of audio
# analysed per CPU second (user + system) and peak memory, beside the input
# floor (reading and testing the floats only). Streams are generated into the
# build folder, never into the repository.
set -eu
build=${1:-build-bench}
streams="$build/streams"
mkdir -p "$streams"

"$build/bench/tonvera_bench" --benchmark_min_time=0.2 || exit 1

measure() { # label command...
  label=$1; shift
  /usr/bin/time -v "$@" > "$streams/out.txt" 2> "$streams/time.txt" || {
    cat "$streams/time.txt" >&2; exit 1; }
  user=$(sed -n 's/.*User time (seconds): //p' "$streams/time.txt")
  sys=$(sed -n 's/.*System time (seconds): //p' "$streams/time.txt")
  peak=$(sed -n 's/.*Maximum resident set size (kbytes): //p' "$streams/time.txt")
  echo "$label $user $sys $peak"
}

printf '\n%-30s %10s %12s %12s\n' "stream" "cpu s" "audio s/cpu s" "peak MB"
for stream in "44100 32" "48000 32" "8000 32" "48000 1"; do
  set -- $stream
  rate=$1 segments=$2
  file="$streams/$rate-$segments.f32"
  [ -f "$file" ] || "$build/bench/tonvera_genstream" "$rate" 60 "$segments" > "$file"
  audio=$((60 * segments))
  for what in tonvera readfloor; do
    if [ $what = tonvera ]; then
      line=$(measure x sh -c "'$build/tonvera' $rate $((rate * 60)) < '$file'")
    else
      line=$(measure x sh -c "'$build/bench/tonvera_readfloor' $((rate * 60)) < '$file'")
    fi
    set -- $line
    cpu=$(echo "$2 + $3" | bc -l)
    speed=$(echo "if ($cpu > 0) $audio / $cpu else 0" | bc -l)
    printf '%-30s %10.2f %12.0f %12.1f\n' "$what ${rate}Hz x$segments" "$cpu" "$speed" "$(echo "$4 / 1024" | bc -l)"
  done
done
