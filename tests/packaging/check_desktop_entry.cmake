# The desktop entry passes desktop-file-validate and opens record files in zoduz: Exec passes
# the file (%f) and MimeType names the record file type. Arguments: TOOL (desktop-file-validate,
# or "" when it is not installed), ENTRY (the .desktop file).
cmake_minimum_required(VERSION 3.25)
if(NOT TOOL)
    message("SKIPPED: desktop-file-validate is not installed")
    return()
endif()
execute_process(COMMAND "${TOOL}" "${ENTRY}" OUTPUT_VARIABLE out ERROR_VARIABLE err
                RESULT_VARIABLE status)
if(NOT status EQUAL 0 OR NOT "${out}${err}" STREQUAL "")
    message(FATAL_ERROR "desktop-file-validate ${ENTRY}: status ${status}\n${out}${err}")
endif()
file(STRINGS "${ENTRY}" lines)
foreach(expected "Exec=zoduz %f" "MimeType=application/x-zoduz-capture;" "Icon=zoduz"
                 "Type=Application")
    if(NOT expected IN_LIST lines)
        message(FATAL_ERROR "${ENTRY} has no line '${expected}'")
    endif()
endforeach()
