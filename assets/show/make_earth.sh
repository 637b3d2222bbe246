#!/bin/sh
# Renders the show's background picture earth.png (320 x 320, the Earth on black) from NASA
# Visible Earth imagery as Debian ships it in the xplanet-images package. The date is fixed so
# that the sunlit half is always the same: Asia and Australia in daylight.
#   apt-get install xplanet xplanet-images && sh make_earth.sh [output folder]
set -eu
out="${1:-$(dirname "$0")}"
xplanet -num_times 1 -output "$out/earth.png" -geometry 320x320 -body earth \
    -latitude 20 -longitude 135 -radius 46 -starfreq 0 -date 20260321.030000
