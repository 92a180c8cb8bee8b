# Runs "zoduz-cli settings" against a settings file placed in a temporary configuration folder
# and checks its lines. Arguments: CLI (the executable), WORK (a scratch folder), SOURCE (the
# settings file to place), STORE (ON when the build reads the application's store).
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}/config/Dazerav Inc.")
file(COPY_FILE "${SOURCE}" "${WORK}/config/Dazerav Inc./Zoduz.conf")

execute_process(
    COMMAND ${CMAKE_COMMAND} -E env "HOME=${WORK}" "XDG_CONFIG_HOME=${WORK}/config"
            "XDG_DOCUMENTS_DIR=${WORK}/documents" "${CLI}" settings
    OUTPUT_VARIABLE out
    RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "zoduz-cli settings exited with ${status}")
endif()

set(tab "\t")
set(expected
    "RecordFileFolder${tab}${WORK}/documents/Zoduz${tab}default\n"
    "RecordMaxPDPacketCount${tab}99999${tab}default\n"
    "PDMessageTolerantDecode${tab}0${tab}default\n"
    "ChecksSeverityFilter${tab}2${tab}default\n"
    "ContractsPaneShown${tab}0${tab}default\n"
    "ColumnInfo21${tab}shown=1 width=300 order=24${tab}default\n"
    "VBusVolBold${tab}3${tab}default\n"
    "DeviceUsbIds${tab}1209:000d${tab}default\n")
if(STORE)
    list(APPEND expected
        "# store: ${WORK}/config/Dazerav Inc./Zoduz.conf [DADOVIVA]\n"
        "CalVbusVolRatio${tab}1010000${tab}changed\n"
        "GraphFont${tab}height=16 width=0 escapement=0 orientation=0 weight=0 italic=0 underline=0 strikeOut=0 charSet=1 outPrecision=0 clipPrecision=0 quality=1 pitchAndFamily=0 face=Arial${tab}default\n"
        "ColorVBusCurr${tab}65280 rgb(0,255,0)${tab}changed\n"
        "EnableGraphCurrent${tab}0${tab}changed\n")
else()
    list(APPEND expected
        "# store: none (built without Qt: every value is its default)\n"
        "CalVbusVolRatio${tab}1000000${tab}default\n")
endif()
foreach(line IN LISTS expected)
    string(FIND "${out}" "${line}" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "missing line: ${line}\noutput:\n${out}")
    endif()
endforeach()

string(REGEX MATCHALL "\n" newlines "${out}")
list(LENGTH newlines count)
if(NOT count EQUAL 120)
    message(FATAL_ERROR "expected 120 lines, got ${count}")
endif()
if(NOT IS_DIRECTORY "${WORK}/documents/Zoduz")
    message(FATAL_ERROR "the default data folder was not created")
endif()

# Output that cannot be written is a failure, not a success.
execute_process(
    COMMAND ${CMAKE_COMMAND} -E env "HOME=${WORK}" "XDG_CONFIG_HOME=${WORK}/config"
            "XDG_DOCUMENTS_DIR=${WORK}/documents" "${CLI}" settings
    OUTPUT_FILE /dev/full
    ERROR_VARIABLE err
    RESULT_VARIABLE status)
if(NOT status EQUAL 1 OR NOT err STREQUAL "zoduz-cli settings: cannot write the output\n")
    message(FATAL_ERROR "zoduz-cli settings into a full disk: ${status} [${err}]")
endif()
