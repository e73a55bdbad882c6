#!/usr/bin/env bash
# Installs what is missing, builds, and starts Video Capture.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh"
exec "${BUILD_DIR:-$root/build}/videocapture"
