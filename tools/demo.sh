#!/bin/sh
# Runs the tool on the built-in example: three 4-second segments at 44100 Hz,
# each a chord progression in G major.
set -eu
build=${1:-build}
rate=44100
seconds=4
report=$("$build/tonvera-example" generate $rate $seconds | "$build/tonvera" $rate $((rate * seconds)))
echo "\$ tonvera-example generate $rate $seconds | tonvera $rate $((rate * seconds))"
printf '%s\n' "$report"
printf '%s' "$report" | "$build/tonvera-example" describe
