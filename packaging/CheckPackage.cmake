# Builds the Debian package of a build tree into OUTPUT_DIR and fails when lintian finds
# an error in it; its warnings and notes are printed.
#   cmake -DCPACK=… -DLINTIAN=… -DBUILD_DIR=… -DOUTPUT_DIR=… -P CheckPackage.cmake
file(REMOVE_RECURSE "${OUTPUT_DIR}")
execute_process(COMMAND "${CPACK}" -G DEB --config "${BUILD_DIR}/CPackConfig.cmake" -B "${OUTPUT_DIR}"
                RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
file(GLOB package "${OUTPUT_DIR}/*.deb")
if(NOT status EQUAL 0 OR NOT package)
    message(FATAL_ERROR "cpack failed:\n${output}")
endif()
execute_process(COMMAND "${LINTIAN}" --fail-on error --display-info "${package}" RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "lintian found errors in ${package}")
endif()
