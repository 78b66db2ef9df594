#!/usr/bin/env bash
# Builds the toolkit and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display to show the toolkit on (DISPLAY and WAYLAND_DISPLAY are unset)."
  echo "On a machine without a screen, start it under a virtual display:"
  echo "  xvfb-run -a -s '-screen 0 1600x1000x24' build/app/quellmoor-toolkit"
  exit 1
fi
exec build/app/quellmoor-toolkit
