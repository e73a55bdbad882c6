#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite headless.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
"$root/scripts/setup.sh"
"$root/scripts/build.sh"
export QT_QPA_PLATFORM=offscreen
# Qt wants a private runtime folder; CI machines have no login session.
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
  XDG_RUNTIME_DIR=$(mktemp -d /tmp/videocapture-runtime.XXXXXX)
  export XDG_RUNTIME_DIR
fi
cd "$build"
ctest --output-on-failure -j2 --timeout 600
