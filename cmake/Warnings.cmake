# Our own code compiles without warnings; third-party headers come in as SYSTEM.
# The test command and CI turn warnings into errors; packagers building with another
# compiler need not.
option(ORVANE_WERROR "Treat compiler warnings as errors" OFF)

function(orvane_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor
                                             -Wold-style-cast -Wcast-align -Woverloaded-virtual)
    if(ORVANE_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
    target_compile_definitions(${target} PRIVATE QT_NO_NARROWING_CONVERSIONS_IN_CONNECT)
endfunction()
