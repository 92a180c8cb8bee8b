# cmake --install of the build tree into a scratch DESTDIR installs exactly the expected files.
# Arguments: BUILD (the build tree), WORK (scratch), EXPECTED (file list, one path a line,
# relative to DESTDIR with the prefix /usr); with the Python module, PYTHON_MODULE (its path,
# likewise) and PYTHON (the interpreter that must find it when installed under /usr).
cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE "${WORK}")
set(ENV{DESTDIR} "${WORK}/root")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD}" --prefix /usr
                OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "cmake --install: status ${status}\n${out}${err}")
endif()
file(GLOB_RECURSE installed RELATIVE "${WORK}/root" "${WORK}/root/*")
list(SORT installed)
file(STRINGS "${EXPECTED}" expected)
if(PYTHON_MODULE)
    list(APPEND expected "${PYTHON_MODULE}")
endif()
list(SORT expected)
if(NOT installed STREQUAL expected)
    string(REPLACE ";" "\n  " installedText "${installed}")
    message(FATAL_ERROR "installed files differ from ${EXPECTED}:\n  ${installedText}")
endif()
foreach(program usr/bin/zoduz usr/bin/zoduz-cli)
    execute_process(COMMAND test -x "${WORK}/root/${program}" RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "${program} is not executable")
    endif()
endforeach()

if(PYTHON_MODULE)
    # The folder is one the interpreter searches, and the installed module imports from it.
    get_filename_component(folder "/${PYTHON_MODULE}" DIRECTORY)
    execute_process(COMMAND "${PYTHON}" -c "import sys; sys.exit('${folder}' not in sys.path)"
                    RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "${PYTHON} does not search ${folder}")
    endif()
    execute_process(COMMAND "${CMAKE_COMMAND}" -E env "PYTHONPATH=${WORK}/root${folder}"
                            "${PYTHON}" -c "import zoduz; print(zoduz.__file__)"
                    OUTPUT_VARIABLE where ERROR_VARIABLE err RESULT_VARIABLE status)
    if(NOT status EQUAL 0 OR NOT where MATCHES "^${WORK}/root${folder}/")
        message(FATAL_ERROR "the installed module does not import: ${where}${err}")
    endif()
endif()
