#!/usr/bin/env bash
# Builds everything and starts Corvane in the run folder build/run, which holds
# both programs and the data files.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/build.sh"
cd "$root/build/run"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display: Corvane needs a desktop session (DISPLAY is not set)."
  echo "The run folder is $root/build/run; Dravik can be started there by hand: ./Dravik"
  exit 1
fi
exec ./Corvane
