# Runs chmcmd on the staged help project and treats any warning or error as a failure,
# so a broken page never ships quietly. Arguments: CHMCMD, STAGE, OUTPUT.
execute_process(
    COMMAND "${CHMCMD}" --html-scan orvane.hhp
    WORKING_DIRECTORY "${STAGE}"
    RESULT_VARIABLE result
    OUTPUT_VARIABLE output
    ERROR_VARIABLE output)
if(NOT result EQUAL 0 OR output MATCHES "(^|\n)[ \t]*(Warning|Error)")
    message(FATAL_ERROR "chmcmd did not compile the help cleanly:\n${output}")
endif()
file(COPY_FILE "${STAGE}/orvane.chm" "${OUTPUT}")
