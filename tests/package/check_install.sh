#!/usr/bin/env bash
# Installs the build in BUILD_DIR into a temporary prefix and builds the
# example against the installed package twice: with CMake's find_package and
# with pkg-config. Each build must run and write the expected document.
set -euo pipefail
build_dir=${1:?usage: check_install.sh BUILD_DIR}
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cmake --install "$build_dir" --prefix "$work/prefix" >/dev/null
libdir=$(ls -d "$work"/prefix/lib* | head -n 1)
expected="$source_dir/tests/cli/data/sample.edited.xml"

echo "-- find_package(CorvaneXML)"
cmake -S "$source_dir/examples" -B "$work/cmake-build" -DCMAKE_PREFIX_PATH="$work/prefix" >/dev/null
cmake --build "$work/cmake-build" >/dev/null
LD_LIBRARY_PATH="$libdir" "$work/cmake-build/edit_document" "$source_dir/examples/sample.xml" 2>/dev/null \
  | cmp - "$expected"

echo "-- pkg-config corvanexml"
export PKG_CONFIG_PATH="$libdir/pkgconfig"
# shellcheck disable=SC2046
g++ -std=c++17 -o "$work/pc-example" "$source_dir/examples/edit_document.cpp" \
  $(pkg-config --cflags --libs corvanexml)
LD_LIBRARY_PATH="$libdir" "$work/pc-example" "$source_dir/examples/sample.xml" 2>/dev/null \
  | cmp - "$expected"

echo "-- installed cxml"
"$work/prefix/bin/cxml" format "$source_dir/examples/sample.xml" \
  | cmp - "$source_dir/tests/cli/data/sample.formatted.xml"
echo "installed package works"
