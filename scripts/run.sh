#!/usr/bin/env bash
# Sets up, builds and starts Orvane on the bundled dictionary.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
exec "${ORVANE_BUILD_DIR:-build}/bin/orvane"
