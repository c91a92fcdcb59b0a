#!/usr/bin/env bash
# Renders the PNG sizes of the application icon from curvist.svg (needs rsvg-convert from
# librsvg2-bin). The PNGs are kept in the repository, so building never needs this.
set -euo pipefail
cd "$(dirname "$0")"
for n in 16 24 32 48 64 128 256; do
    rsvg-convert -w "$n" -h "$n" curvist.svg -o "curvist-$n.png"
done
