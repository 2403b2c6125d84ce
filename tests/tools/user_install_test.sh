#!/usr/bin/env bash
# KELBRA_USER_INSTALL=ON: a fresh configure with a temporary HOME must send
# kelbra.so to ~/.vst, the Pd folder to ~/.local/lib/pd/extra/kelbra and
# kelbra-host to ~/.local/bin, and nothing anywhere else.
#   user_install_test.sh SOURCE_DIR
set -uo pipefail
source=$1
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
HOME=$home cmake -S "$source" -B "$home/build" -DKELBRA_USER_INSTALL=ON -DKELBRA_BENCHMARKS=OFF >"$home/configure.log" 2>&1 ||
  { cat "$home/configure.log"; echo "FAIL: configuring with KELBRA_USER_INSTALL=ON"; exit 1; }
places=$(find "$home/build" -name cmake_install.cmake -exec sed -n 's/.*file(INSTALL DESTINATION "\([^"]*\)".*/\1/p' {} + | sort -u)
expected=$(printf '%s\n' "$home/.local/bin" "$home/.local/lib/pd/extra/kelbra" "$home/.vst" | sort)
if [ "$places" != "$expected" ]; then
  echo "FAIL: install places"
  echo "expected:"; echo "$expected"
  echo "got:"; echo "$places"
  exit 1
fi
echo "user install: $places" | tr '\n' ' '; echo
