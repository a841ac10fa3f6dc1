#!/usr/bin/env bash
# Configures and builds Orvane into build/ (or $ORVANE_BUILD_DIR) with CMake and Ninja.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${ORVANE_BUILD_DIR:-build}
cmake -S . -B "$BUILD_DIR" -G Ninja "$@" >/dev/null
cmake --build "$BUILD_DIR"
