# The database engine, as one target for every program: orvane_sqlite.
#
# By default a static library built from the pinned amalgamation of SQLite3 Multiple
# Ciphers that scripts/setup.sh unpacks into external/sqlite3mc/: a current SQLite that
# reads and writes SQLCipher's file format. With ORVANE_SYSTEM_SQLCIPHER a system
# SQLCipher 4.5.1 or later instead (pkg-config `sqlcipher`), for distributions that have one.
# Either way the process holds one SQLite and nothing else of it.
option(ORVANE_SYSTEM_SQLCIPHER "Build against the system's SQLCipher (4.5.1 or later) instead of the bundled engine" OFF)
set(ORVANE_SQLITE_SOURCE_DIR "${PROJECT_SOURCE_DIR}/external/sqlite3mc" CACHE PATH
    "Where scripts/setup.sh unpacked the engine's amalgamation")

if(ORVANE_SYSTEM_SQLCIPHER)
    # 4.5.1 carries SQLite 3.37, the first with every setting and table the data layer uses.
    pkg_check_modules(SQLCIPHER REQUIRED IMPORTED_TARGET "sqlcipher>=4.5.1")
    add_library(orvane_sqlite INTERFACE)
    target_link_libraries(orvane_sqlite INTERFACE PkgConfig::SQLCIPHER)
    # Its keying statements differ (core/data/Cipher.cpp).
    target_compile_definitions(orvane_sqlite INTERFACE ORVANE_SYSTEM_SQLCIPHER)
    return()
endif()

# The files exactly as pinned (cmake/sqlite3mc.sha256, which scripts/setup.sh checks
# too). A clone configured without scripts/setup.sh (a second worktree, a tool that
# builds a copy) gets them from the same script, which takes the package from its cache
# when it can; files that are there but altered stop here with one line.
function(orvane_sqlite_unaltered result)
    file(STRINGS "${PROJECT_SOURCE_DIR}/cmake/sqlite3mc.sha256" pins)
    foreach(pin IN LISTS pins)
        string(REGEX MATCH "^([0-9a-f]+)  (.+)$" pin "${pin}")
        set(file "${ORVANE_SQLITE_SOURCE_DIR}/${CMAKE_MATCH_2}")
        set(actual "")
        if(EXISTS "${file}")
            file(SHA256 "${file}" actual)
        endif()
        if(NOT actual STREQUAL CMAKE_MATCH_1)
            set(${result} "${file}" PARENT_SCOPE)
            return()
        endif()
    endforeach()
    set(${result} "" PARENT_SCOPE)
endfunction()

orvane_sqlite_unaltered(orvane_sqlite_altered)
if(orvane_sqlite_altered AND NOT EXISTS "${ORVANE_SQLITE_SOURCE_DIR}"
   AND ORVANE_SQLITE_SOURCE_DIR STREQUAL "${PROJECT_SOURCE_DIR}/external/sqlite3mc")
    execute_process(COMMAND "${PROJECT_SOURCE_DIR}/scripts/fetch-sqlite.sh" OUTPUT_QUIET)
    orvane_sqlite_unaltered(orvane_sqlite_altered)
endif()
if(orvane_sqlite_altered)
    message(FATAL_ERROR "${orvane_sqlite_altered} is missing or altered: run scripts/setup.sh")
endif()

# C only for the engine; the project's warning flags stay off it.
enable_language(C)
add_library(orvane_sqlite STATIC "${ORVANE_SQLITE_SOURCE_DIR}/sqlite3.c")
target_include_directories(orvane_sqlite SYSTEM PUBLIC "${ORVANE_SQLITE_SOURCE_DIR}")
target_compile_definitions(orvane_sqlite PRIVATE
    # What Orvane needs of the engine: full-text indexes, and nothing it does not use.
    SQLITE_ENABLE_FTS5
    SQLITE_OMIT_LOAD_EXTENSION
    SQLITE_OMIT_SHARED_CACHE
    SQLITE_OMIT_DEPRECATED
    SQLITE_DQS=0
    # Connections are never shared between threads, but a listing is read on two at once.
    SQLITE_THREADSAFE=2
    # SQLCipher's scheme with version 3's settings by default (64,000 rounds of
    # PBKDF2-HMAC-SHA1, HMAC-SHA1): that is the layout of every orvane.mdb. Of the other
    # schemes only ChaCha20 stays, which the engine's value functions cannot do without.
    CODEC_TYPE=CODEC_TYPE_SQLCIPHER
    SQLCIPHER_VERSION_DEFAULT=SQLCIPHER_VERSION_3
    SQLITE3MC_USE_SQLCIPHER_LEGACY
    HAVE_CIPHER_AES_128_CBC=0
    HAVE_CIPHER_AES_256_CBC=0
    HAVE_CIPHER_RC4=0
    HAVE_CIPHER_ASCON128=0
    HAVE_CIPHER_AEGIS=0)
# Optimised in every tree: a debug build of the engine makes every test slow. In the
# instrumented trees AddressSanitizer (and the fuzzers' coverage) stays on the engine, at
# -O1 and without UBSan: that builds it in two thirds of the time, on the critical path of CI.
# No debug information in any tree: it costs a fifth of the compile at -O2 and more than a
# quarter under the sanitizers, and the engine is not what we step through (a sanitizer
# report still names its functions).
if(ORVANE_SANITIZE OR ORVANE_FUZZ)
    target_compile_options(orvane_sqlite PRIVATE -O1 -g0 -fno-sanitize=undefined -w)
else()
    target_compile_options(orvane_sqlite PRIVATE -O2 -g0 -w)
endif()
find_package(Threads REQUIRED)
target_link_libraries(orvane_sqlite PUBLIC Threads::Threads ${CMAKE_DL_LIBS} m)
