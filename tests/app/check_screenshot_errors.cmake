# Runs "zoduz --screenshot OUT.png X" for a folder, a FIFO and a missing file X: each prints one
# line on stderr and exits with status 1 at once, writing no picture (a message box would wait
# for a user forever; the timeout catches that). A text file named .zaz is pictured with what
# decoded, the notice about it on stderr. Arguments: APP (the executable), WORK (a scratch
# folder).
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}/folder.zaz")
execute_process(COMMAND mkfifo "${WORK}/fifo.zaz" COMMAND_ERROR_IS_FATAL ANY)
set(ENV{QT_QPA_PLATFORM} offscreen)

foreach(case "folder.zaz|is not a regular file" "fifo.zaz|is not a regular file"
             "missing.zaz|cannot read")
    string(REPLACE "|" ";" parts "${case}")
    list(GET parts 0 name)
    list(GET parts 1 reason)
    set(target "${WORK}/${name}")
    if(reason STREQUAL "cannot read")
        set(expected "zoduz: cannot read ${target}\n")
    else()
        set(expected "zoduz: ${target} ${reason}\n")
    endif()
    execute_process(COMMAND "${APP}" --screenshot "${WORK}/out.png" "${target}" TIMEOUT 30
                    OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status)
    # Qt's own notice about a missing runtime folder is not the application's output.
    string(REGEX REPLACE "QStandardPaths: [^\n]*\n\n?" "" err "${err}")
    if(NOT status EQUAL 1 OR NOT err STREQUAL expected OR EXISTS "${WORK}/out.png")
        message(FATAL_ERROR "zoduz --screenshot on ${name}: status ${status}, stderr [${err}]")
    endif()
endforeach()

file(WRITE "${WORK}/notes.zaz" "")
foreach(i RANGE 40)
    # 64 bytes a line: whole blocks only
    file(APPEND "${WORK}/notes.zaz" "Lorem ipsum dolor sit amet, consectetur adipiscing elit, sed do\n")
endforeach()
execute_process(COMMAND "${APP}" --screenshot "${WORK}/notes.png" "${WORK}/notes.zaz" TIMEOUT 30
                OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status)
string(REGEX REPLACE "QStandardPaths: [^\n]*\n\n?" "" err "${err}")
string(REGEX REPLACE "This plugin does not support [^\n]*\n" "" err "${err}")
set(expected "zoduz: No valid record block found: this is probably not a Zoduz record file. Nothing of it is shown.\n")
if(NOT status EQUAL 0 OR NOT err STREQUAL expected OR NOT EXISTS "${WORK}/notes.png")
    message(FATAL_ERROR "zoduz --screenshot on a text file: status ${status}, stderr [${err}]")
endif()
