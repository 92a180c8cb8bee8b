# Runs zoduz-cli on the record files of the reference corpus and compares every output with its
# frozen copy (MODE=check, the default: a mismatch prints a unified diff and fails), or writes
# the outputs as the new frozen copies (MODE=update).
#
#   cmake -DCLI=zoduz-cli -DREFERENCE_DIR=tests/reference -DOUT_DIR=DIR [-DNAME=entry]
#         [-DMODE=check|update] [-DHAND_TOOL=make_hand_captures -DCAPTURES=ON]
#         -P reference.cmake
#
# The outputs of an entry are its decode (TSV and JSON), the tree and field tables of chosen
# packets, its CSV export, and its check findings and contracts. Each line of REFERENCE_DIR/manifest names an entry (its record
# file NAME.zaz), the packets whose tree and field tables are kept ("-" for none; "N" shows the
# node the tree selects, "N@CODE" the node CODE), and how the record file was made ("hand" by
# make_hand_captures, or the zoduz-cli simulate arguments). CAPTURES=ON in update mode remakes the record files
# first; otherwise the committed record files are the input.

cmake_minimum_required(VERSION 3.25)

if(NOT MODE)
    set(MODE check)
endif()
file(MAKE_DIRECTORY "${OUT_DIR}")
file(STRINGS "${REFERENCE_DIR}/manifest" lines)

function(run_cli output)
    execute_process(COMMAND "${CLI}" ${ARGN} OUTPUT_FILE "${output}" ERROR_VARIABLE error
                    RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "zoduz-cli ${ARGN} failed (${status}): ${error}")
    endif()
endfunction()

# The tree and field tables of the chosen packets, one section per command.
function(write_packets capture packets output)
    file(WRITE "${output}" "")
    set(shownTrees "")
    foreach(choice IN LISTS packets)
        string(REPLACE "@" ";" parts "${choice}")
        list(GET parts 0 number)
        set(node "")
        list(LENGTH parts count)
        if(count GREATER 1)
            list(GET parts 1 node)
        endif()
        if(NOT number IN_LIST shownTrees)
            list(APPEND shownTrees ${number})
            run_cli("${output}.part" tree "${capture}" ${number})
            file(READ "${output}.part" text)
            file(APPEND "${output}" "== tree ${number}\n${text}")
        endif()
        if(node STREQUAL "")
            run_cli("${output}.part" fields "${capture}" ${number})
            file(APPEND "${output}" "== fields ${number}\n")
        else()
            run_cli("${output}.part" fields "${capture}" ${number} --node ${node})
            file(APPEND "${output}" "== fields ${number} --node ${node}\n")
        endif()
        file(READ "${output}.part" text)
        file(APPEND "${output}" "${text}")
    endforeach()
    file(REMOVE "${output}.part")
endfunction()

set(failed "")
set(handMade OFF)
foreach(line IN LISTS lines)
    if(line MATCHES "^[ \t]*(#|$)")
        continue()
    endif()
    string(REGEX REPLACE "[ \t]+" ";" fields "${line}")
    list(POP_FRONT fields name packets)
    if(NAME AND NOT name STREQUAL NAME)
        continue()
    endif()
    set(capture "${REFERENCE_DIR}/${name}.zaz")

    if(MODE STREQUAL "update" AND CAPTURES)
        if(fields STREQUAL "hand")
            if(NOT handMade)
                execute_process(COMMAND "${HAND_TOOL}" "${REFERENCE_DIR}"
                                COMMAND_ERROR_IS_FATAL ANY)
                set(handMade ON)
            endif()
        else()
            run_cli("${OUT_DIR}/${name}.simulate" simulate ${fields} -o "${capture}")
        endif()
    endif()

    set(outputs "${name}.tsv" "${name}.json" "${name}.packets" "${name}.csv" "${name}.check"
                "${name}.contracts")
    run_cli("${OUT_DIR}/${name}.tsv" decode "${capture}")
    run_cli("${OUT_DIR}/${name}.check" check "${capture}" --fail-on never)
    run_cli("${OUT_DIR}/${name}.contracts" contracts "${capture}")
    run_cli("${OUT_DIR}/${name}.json" decode "${capture}" --format json)
    # The CSV export of every sample and packet with all list columns (stdout names the file).
    run_cli("${OUT_DIR}/${name}.export" export "${capture}" --items both --all-columns
            -o "${OUT_DIR}/${name}.csv")
    if(packets STREQUAL "-")
        set(packets "")
    endif()
    string(REPLACE "," ";" packets "${packets}")
    write_packets("${capture}" "${packets}" "${OUT_DIR}/${name}.packets")

    foreach(output IN LISTS outputs)
        set(expected "${REFERENCE_DIR}/expected/${output}")
        if(MODE STREQUAL "update")
            file(COPY_FILE "${OUT_DIR}/${output}" "${expected}")
            continue()
        endif()
        execute_process(COMMAND diff -u "${expected}" "${OUT_DIR}/${output}"
                        OUTPUT_VARIABLE difference RESULT_VARIABLE status)
        if(NOT status EQUAL 0)
            string(LENGTH "${difference}" length)
            if(length GREATER 20000)
                string(SUBSTRING "${difference}" 0 20000 difference)
                string(APPEND difference "\n[... diff cut at 20000 characters]\n")
            endif()
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
