# Shared by the zoduz-cli check scripts: run_cli(ARGS...) runs the executable named by CLI and
# sets out, err and status in the caller's scope.
function(run_cli)
    execute_process(COMMAND "${CLI}" ${ARGN}
                    OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status)
    set(out "${out}" PARENT_SCOPE)
    set(err "${err}" PARENT_SCOPE)
    set(status "${status}" PARENT_SCOPE)
endfunction()
