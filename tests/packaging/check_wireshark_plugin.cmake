# The dissector goes where the installed Wireshark looks for global Lua plugins, and Wireshark
# loads it from a plugin folder by itself (no -X lua_script): copied into the personal plugin
# folder of a scratch home, tshark lists the protocol zoduz_pd. Arguments: TSHARK (or "" when
# it is not installed), PLUGIN_DIR (the install folder relative to the prefix /usr), LUA (the
# dissector), WORK (scratch).
cmake_minimum_required(VERSION 3.25)
if(NOT TSHARK)
    message("SKIPPED: tshark is not installed")
    return()
endif()
execute_process(COMMAND "${TSHARK}" -G folders OUTPUT_VARIABLE folders ERROR_QUIET
                RESULT_VARIABLE status)
string(REGEX MATCH "Global Lua Plugins:[ \t]*([^\n]*)" line "${folders}")
if(NOT status EQUAL 0 OR NOT CMAKE_MATCH_1 STREQUAL "/usr/${PLUGIN_DIR}")
    message(FATAL_ERROR "tshark's global Lua plugin folder is '${CMAKE_MATCH_1}', the dissector "
                        "installs into '/usr/${PLUGIN_DIR}'\n${folders}")
endif()

file(REMOVE_RECURSE "${WORK}")
file(COPY "${LUA}" DESTINATION "${WORK}/.local/lib/wireshark/plugins")
set(ENV{HOME} "${WORK}")
execute_process(COMMAND "${TSHARK}" -G protocols OUTPUT_VARIABLE protocols ERROR_VARIABLE err
                RESULT_VARIABLE status)
if(NOT status EQUAL 0 OR NOT protocols MATCHES "\tzoduz_pd(\n|$)")
    message(FATAL_ERROR "tshark did not load ${LUA} from its plugin folder: ${err}")
endif()
