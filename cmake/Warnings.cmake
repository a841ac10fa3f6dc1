# Our own code compiles without warnings; third-party headers come in as SYSTEM.
# Warnings are errors where the code is worked on (a git checkout, the test command, CI);
# packagers building a release tarball with another compiler need not stop at one.
if(EXISTS "${PROJECT_SOURCE_DIR}/.git")
    set(orvane_werror_default ON)
else()
    set(orvane_werror_default OFF)
endif()
option(ORVANE_WERROR "Treat compiler warnings as errors" ${orvane_werror_default})

function(orvane_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor
                                             -Wold-style-cast -Wcast-align -Woverloaded-virtual)
    if(ORVANE_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
    target_compile_definitions(${target} PRIVATE QT_NO_NARROWING_CONVERSIONS_IN_CONNECT)
endfunction()
