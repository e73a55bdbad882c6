#!/usr/bin/env bash
# Builds and runs the capture component's benchmarks (headless).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=${BUILD_TYPE:-RelWithDebInfo} >/dev/null
cmake --build "$build" --target bench_stills bench_preview
export QT_QPA_PLATFORM=offscreen
"$build/bench/bench_stills"
"$build/bench/bench_preview"
