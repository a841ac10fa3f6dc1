#!/usr/bin/env bash
# Brings the database engine's source into external/sqlite3mc/ (git-ignored): the
# amalgamation of SQLite3 Multiple Ciphers, a current SQLite that reads and writes
# SQLCipher's file format, as one npm package carries it. The package is fetched once
# with npm into a cache folder and checked against a pinned SHA-256; only sqlite3.c and
# sqlite3.h are unpacked, and checked against cmake/sqlite3mc.sha256 as CMake checks them.
set -euo pipefail
cd "$(dirname "$0")/.."

PACKAGE=better-sqlite3-multiple-ciphers@13.0.3 # SQLite3 Multiple Ciphers 2.4.0, SQLite 3.53.4
TARBALL=better-sqlite3-multiple-ciphers-13.0.3.tgz
TARBALL_SHA256=24a11e221247fc003f755ad0f82126bc6b0295d0be1c06f3cb3e48d9db8eb898
TARGET=external/sqlite3mc
CACHE=${ORVANE_CACHE_DIR:-${XDG_CACHE_HOME:-$HOME/.cache}/orvane}

verified() { [[ -f $1 ]] && echo "$TARBALL_SHA256  $1" | sha256sum --check --status; }

PINS=$PWD/cmake/sqlite3mc.sha256
unpacked() { [[ -d $TARGET ]] && (cd "$TARGET" && sha256sum --check --status "$PINS"); }

# Unpacked before and unaltered: nothing to do.
unpacked && exit 0

mkdir -p "$CACHE"
if ! verified "$CACHE/$TARBALL"; then
    echo "Fetching $PACKAGE"
    rm -f "$CACHE/$TARBALL"
    (cd "$CACHE" && npm pack --silent "$PACKAGE" >/dev/null)
    if ! verified "$CACHE/$TARBALL"; then
        echo "setup: $PACKAGE does not match its pinned SHA-256; refusing it" >&2
        rm -f "$CACHE/$TARBALL"
        exit 1
    fi
fi

rm -rf "$TARGET"
mkdir -p "$TARGET"
tar -xzf "$CACHE/$TARBALL" -C "$TARGET" --strip-components=3 package/deps/sqlite3/sqlite3.c package/deps/sqlite3/sqlite3.h
unpacked || { echo "setup: $TARBALL does not hold the pinned sqlite3.c and sqlite3.h" >&2; exit 1; }
