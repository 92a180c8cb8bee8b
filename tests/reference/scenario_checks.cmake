# Simulates the scenarios listed in REFERENCE_DIR/scenarios, runs zoduz-cli check and contracts
# on each and compares the outputs with their frozen copies in REFERENCE_DIR/expected/scenarios
# (MODE=check, the default), or writes them as the new frozen copies (MODE=update).
#
#   cmake -DCLI=zoduz-cli -DREFERENCE_DIR=tests/reference -DOUT_DIR=DIR [-DNAME=scenario]
#         [-DMODE=check|update] -P scenario_checks.cmake

cmake_minimum_required(VERSION 3.25)

if(NOT MODE)
    set(MODE check)
endif()
file(MAKE_DIRECTORY "${OUT_DIR}")
file(MAKE_DIRECTORY "${REFERENCE_DIR}/expected/scenarios")
file(STRINGS "${REFERENCE_DIR}/scenarios" lines)

function(run_cli output)
    execute_process(COMMAND "${CLI}" ${ARGN} OUTPUT_FILE "${output}" ERROR_VARIABLE error
                    RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "zoduz-cli ${ARGN} failed (${status}): ${error}")
    endif()
endfunction()

set(failed "")
foreach(line IN LISTS lines)
    if(line MATCHES "^[ \t]*(#|$)")
        continue()
    endif()
    string(REGEX REPLACE "[ \t]+" ";" fields "${line}")
    list(POP_FRONT fields name)
    if(NAME AND NOT name STREQUAL NAME)
        continue()
    endif()
    set(capture "${OUT_DIR}/${name}.zaz")
    run_cli("${OUT_DIR}/${name}.simulate" simulate ${fields} -o "${capture}")
    run_cli("${OUT_DIR}/${name}.check" check "${capture}" --fail-on never)
    run_cli("${OUT_DIR}/${name}.contracts" contracts "${capture}")
    file(REMOVE "${capture}")
    foreach(output IN ITEMS "${name}.check" "${name}.contracts")
        set(expected "${REFERENCE_DIR}/expected/scenarios/${output}")
        if(MODE STREQUAL "update")
            file(COPY_FILE "${OUT_DIR}/${output}" "${expected}")
            continue()
        endif()
        execute_process(COMMAND diff -u "${expected}" "${OUT_DIR}/${output}"
                        OUTPUT_VARIABLE difference RESULT_VARIABLE status)
        if(NOT status EQUAL 0)
            message("${output} differs from its reference:\n${difference}")
            list(APPEND failed "${output}")
        endif()
    endforeach()
endforeach()

if(failed)
    message(FATAL_ERROR "outputs differ from the reference: ${failed}\n"
                        "If the change is intended, run scripts/update-references and commit "
                        "the changed files of tests/reference/expected with it.")
endif()
