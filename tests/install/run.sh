#!/usr/bin/env bash
# Installs the build tree into a temporary prefix, then builds and runs a
# consumer with find_package(orvacmn) and one with pkg-config.
set -euo pipefail
build=$1; src=$(cd "$(dirname "$0")" && pwd)
tmp=$(mktemp -d); trap 'rm -rf "$tmp"' EXIT
cmake --install "$build" --prefix "$tmp/prefix" >/dev/null
cmake -S "$src/consumer" -B "$tmp/cmake" -G Ninja -DCMAKE_PREFIX_PATH="$tmp/prefix" >/dev/null
cmake --build "$tmp/cmake" >/dev/null
"$tmp/cmake/consumer"
export PKG_CONFIG_PATH="$tmp/prefix/lib/pkgconfig:$tmp/prefix/lib/x86_64-linux-gnu/pkgconfig"
g++ -std=c++20 "$src/consumer/main.cpp" -o "$tmp/pc_consumer" $(pkg-config --cflags --libs --static orvacmn)
"$tmp/pc_consumer"
