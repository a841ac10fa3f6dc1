#!/usr/bin/env bash
# Sets up, builds and runs the whole test suite (unit, offscreen widget, end-to-end, and the
# Debian package through lintian).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh -DORVANE_WERROR=ON
cd "${ORVANE_BUILD_DIR:-build}"
ctest --output-on-failure --timeout 300 -j2 "$@"
