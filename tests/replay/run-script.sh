#!/usr/bin/env bash
# Plays one replay script in a fresh scratch directory: the records file
# the script reads and writes lives there, never beside the script.
set -euo pipefail
replay=$1 script=$2 out=$3
rm -rf "$out"
mkdir -p "$out/appdir"
cp "$script" "$out/"
exec "$replay" "$out/$(basename "$script")" "$out"
