# Runs "zoduz --help" and "zoduz -h" with no display at all: the usage text goes to stdout, with
# every option, and the status is 0. Arguments: APP (the executable).
unset(ENV{DISPLAY})
unset(ENV{WAYLAND_DISPLAY})
unset(ENV{QT_QPA_PLATFORM})
foreach(flag --help -h)
    execute_process(COMMAND "${APP}" ${flag} TIMEOUT 30
                    OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status)
    if(NOT status EQUAL 0 OR NOT out MATCHES "^Usage: [^\n]*zoduz \\[options\\] \\[FILE\\]\n")
        message(FATAL_ERROR "zoduz ${flag}: status ${status}, stdout [${out}], stderr [${err}]")
    endif()
    foreach(option --screenshot --virtual --run --find --filter-dialog --export-dialog
                   --checks --graph-range --graph-markers --help)
        string(FIND "${out}" "${option}" at)
        if(at LESS 0)
            message(FATAL_ERROR "zoduz ${flag}: the usage text lacks ${option}: [${out}]")
        endif()
    endforeach()
endforeach()
