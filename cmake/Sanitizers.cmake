# Instrumented builds. Each needs its own build directory, since the flags apply to
# every target of the configuration.
#
#   ORVANE_SANITIZE  AddressSanitizer + UndefinedBehaviorSanitizer on the whole build
#                    (GCC or clang). Any report aborts the process, so a test that
#                    triggers one fails instead of printing and passing.
#   ORVANE_FUZZ      libFuzzer targets in fuzz/ (clang only), with the same sanitizers.
option(ORVANE_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(ORVANE_FUZZ "Build the libFuzzer targets (needs clang)" OFF)

set(ORVANE_SANITIZER_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)

if(ORVANE_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        message(FATAL_ERROR "ORVANE_FUZZ needs clang: configure with -DCMAKE_CXX_COMPILER=clang++")
    endif()
    # Coverage instrumentation everywhere; only the fuzz targets link libFuzzer's main().
    add_compile_options(${ORVANE_SANITIZER_FLAGS} -fsanitize=fuzzer-no-link)
    add_link_options(${ORVANE_SANITIZER_FLAGS})
elseif(ORVANE_SANITIZE)
    add_compile_options(${ORVANE_SANITIZER_FLAGS})
    add_link_options(${ORVANE_SANITIZER_FLAGS})
    # The instrumentation hides initialisations from GCC's flow analysis, which then
    # warns of "maybe uninitialized" values in Qt's own headers; ASan checks the real thing.
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
        add_compile_options(-Wno-maybe-uninitialized)
    endif()
endif()
