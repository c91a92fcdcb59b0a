#!/usr/bin/env bash
# Draws the manual's plot picture with curvist-plot. The picture of the main window is a
# screenshot of the program: screenshot.sh beside this script takes it.
# Usage: res/manual/images/draw.sh build/bin/curvist-plot
set -euo pipefail
plot=${1:?path of curvist-plot}
here=$(cd "$(dirname "$0")" && pwd)

"$plot" -o "$here/plot.png" --size 480x320 'sin(x)' 'x^2/4-2' '1/x' 'sin(x)+cos(x)'
