#!/usr/bin/env bash
# Compares the symbols a shared library exports from the project's namespaces
# with the checked-in list, so that every change to the binary interface is a
# deliberate one. With --update the list is rewritten from the library.
#   check_exports.sh [--update] LIBRARY LIST
set -euo pipefail
update=0
if [ "${1:-}" = "--update" ]; then update=1; shift; fi
library=${1:?library}
list=${2:?list}

exports() {
  nm -D --defined-only "$library" | awk '{ print $NF }' \
    | grep -E '^_Z(T[VIS])?NK?(10CorvaneXML|7Corvane)[0-9]' | LC_ALL=C sort -u
}

if [ "$update" = 1 ]; then
  exports >"$list"
  echo "wrote $(wc -l <"$list") symbols to $list"
  exit 0
fi
if ! diff -u "$list" <(exports); then
  echo "The exported interface of $(basename "$library") changed (lines with + are new)."
  echo "If that is intended, run: $0 --update $library $list"
  exit 1
fi
