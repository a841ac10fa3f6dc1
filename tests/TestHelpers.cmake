# Everything the unit and widget tests run, so that a build for those alone (CI's
# sanitizer build) needs no list of its own.
add_custom_target(orvane_test_programs)
add_dependencies(orvane_test_programs orvane-mkdb orvane_help)

# orvane_add_qtest(<name> SOURCES <files...> LIBS <targets...> LABEL <unit|gui>)
# One QtTest executable registered with CTest. gui tests run on the offscreen platform.
function(orvane_add_qtest name)
    cmake_parse_arguments(ARG "" "LABEL" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    set_target_properties(${name} PROPERTIES AUTOMOC ON RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    target_link_libraries(${name} PRIVATE orvane_testsupport Qt6::Test ${ARG_LIBS})
    orvane_warnings(${name})
    add_dependencies(orvane_test_programs ${name})
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES LABELS "${ARG_LABEL}" TIMEOUT 300)
    if(ARG_LABEL STREQUAL "gui")
        set_tests_properties(${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
    endif()
endfunction()
