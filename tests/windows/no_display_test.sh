#!/bin/sh
# Starts Corvane ($1) with no display and no platform chosen: it must say so and fail.
out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$1" 2>&1)
rc=$?
echo "$out"
[ "$rc" -ne 0 ] && echo "$out" | grep -q "no display"
