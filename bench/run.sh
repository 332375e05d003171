#!/usr/bin/env bash
# Configures a release build with the benchmark, builds it and runs it.
#   bench/run.sh [benchmark flags] [file.xml ...]
#   bench/run.sh --growth        n-versus-10n ratios and heap per input byte
# Defaults: 5 repetitions of every measurement (the summaries use medians),
# on the generated documents and the real ones below; files named on the
# command line take the place of the real ones. Missing packages are installed
# when this runs as root with apt-get; a real document still missing is
# skipped with a message.
# Excluding inputs, e.g.: bench/run.sh --benchmark_filter=-siblings
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BENCH_BUILD_DIR:-build-bench}

# Real documents, each with the Debian package that ships it.
real=(
  /usr/share/gir-1.0/Gtk-3.0.gir:libgtk-3-dev
  /usr/share/gir-1.0/Gio-2.0.gir:libgirepository1.0-dev
  /usr/share/gir-1.0/GLib-2.0.gir:libgirepository1.0-dev
  /usr/share/mime/packages/freedesktop.org.xml:shared-mime-info
  # Another vocabulary each, kept aside as a check on what speeds up the four above.
  /usr/share/desktop-base/joy-inksplat-theme/wallpaper/contents/images/1920x1080.svg:desktop-base
  /usr/share/xml/docbook/stylesheet/docbook-xsl/fo/titlepage.templates.xsl:docbook-xsl
  /usr/share/X11/xkb/rules/evdev.xml:xkb-data
)

flags=()
files=()
for argument in "$@"; do
  case $argument in
    -*) flags+=("$argument") ;;
    *) files+=("$argument") ;;
  esac
done

need=()
[ -f /usr/include/benchmark/benchmark.h ] || need+=(libbenchmark-dev)
[ -f /usr/include/pugixml.hpp ] || need+=(libpugixml-dev)
[ -f /usr/include/tinyxml2.h ] || need+=(libtinyxml2-dev)
[ -f /usr/include/expat.h ] || need+=(libexpat1-dev)
[ -f /usr/include/libxml2/libxml/parser.h ] || need+=(libxml2-dev)
if [ ${#files[@]} -eq 0 ] && [ "${1:-}" != "--growth" ]; then
  for entry in "${real[@]}"; do
    [ -f "${entry%:*}" ] || need+=("${entry##*:}")
  done
fi
if [ ${#need[@]} -gt 0 ] && [ "$(id -u)" = 0 ] && command -v apt-get >/dev/null; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq && apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null ||
    echo "bench/run.sh: could not install ${need[*]}" >&2
fi
if [ ${#files[@]} -eq 0 ]; then
  for entry in "${real[@]}"; do
    if [ -f "${entry%:*}" ]; then
      files+=("${entry%:*}")
    else
      echo "bench/run.sh: skipping ${entry%:*}: not found (Debian package ${entry##*:})" >&2
    fi
  done
fi

# -O2 for our library too: the peers come from distribution packages built so.
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" \
  -DCORVANE_BENCH=ON -DCORVANE_BUILD_TESTS=OFF -DCORVANE_BUILD_TOOLS=OFF -DCORVANE_BUILD_EXAMPLES=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target corvane_bench >/dev/null
if [ "${1:-}" = "--growth" ]; then exec "$build/bench/corvane_bench" --growth; fi
exec "$build/bench/corvane_bench" --benchmark_repetitions=5 --benchmark_min_time=0.2 "${flags[@]}" "${files[@]}"
