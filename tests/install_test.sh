#!/bin/sh
# Installs the build into a fresh prefix and builds the example consumer
# against it, through the CMake package and through pkg-config; both must
# find the key of the demo recording (G major, 20).
set -eu
build=$1
source=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cmake --install "$build" --prefix "$work/prefix" > "$work/install.log"
test -f "$work/prefix/include/tonvera/tonvera.h"
test -x "$work/prefix/bin/tonvera"
test -x "$work/prefix/bin/tonvera-file"
test -f "$work/prefix/share/man/man1/tonvera.1"
test -f "$work/prefix/share/man/man1/tonvera-file.1"

cmake -S "$source/examples/keyofstream" -B "$work/consumer" -DCMAKE_PREFIX_PATH="$work/prefix" > "$work/configure.log"
cmake --build "$work/consumer" > "$work/build.log"
"$build/tonvera-example" generate 8000 3 > "$work/demo.f32"
key=$("$work/consumer/keyofstream" 8000 < "$work/demo.f32")
[ "$key" = 20 ] || { echo "CMake consumer printed '$key'"; exit 1; }

pc=$(find "$work/prefix" -name tonvera.pc)
flags=$(PKG_CONFIG_PATH=$(dirname "$pc") pkg-config --cflags --libs --static tonvera)
# shellcheck disable=SC2086
c++ -std=c++17 -o "$work/pkgconfig-consumer" "$source/examples/keyofstream/main.cpp" $flags
key=$("$work/pkgconfig-consumer" 8000 < "$work/demo.f32")
[ "$key" = 20 ] || { echo "pkg-config consumer printed '$key'"; exit 1; }
echo "installed tree works through CMake and pkg-config"
