# The Python module's toolchain: Debian's interpreter and pybind11. Sets ZODUZ_PYTHON_MODULE when
# the module can be built; without pybind11 the module is left out with a note.
#
# The interpreter is Debian's /usr/bin/python3 unless Python_EXECUTABLE names another: a python3
# that comes first on PATH (pyenv, a virtual environment) is often another version, without the
# Debian NumPy, and a module built for it would not load into the python3 that the Debian package
# and cmake --install serve.
if(NOT DEFINED CACHE{Python_EXECUTABLE} AND EXISTS /usr/bin/python3)
    set(Python_EXECUTABLE /usr/bin/python3 CACHE FILEPATH "Interpreter the Python module is built for")
endif()
set(ZODUZ_PYTHON_MODULE OFF)
if(ZODUZ_SANITIZE OR ZODUZ_TSAN OR ZODUZ_BUILD_FUZZ)
    # Instrumented by a sanitizer, the module would not load into Debian's uninstrumented
    # interpreter without the sanitizer's runtime preloaded into it.
    message(STATUS "Sanitizer or fuzz build: the Python module is not built")
    return()
endif()
set(PYBIND11_FINDPYTHON ON)
find_package(pybind11 CONFIG QUIET)
if(NOT pybind11_FOUND OR NOT Python_FOUND)
    message(STATUS "pybind11 or the Python headers not found: the Python module is not built")
    return()
endif()
set(ZODUZ_PYTHON_MODULE ON)
# Where cmake --install puts the module, relative to the prefix: a folder Debian's python3
# searches both under /usr (the package) and under /usr/local (a plain cmake --install).
set(ZODUZ_PYTHON_INSTALL_DIR
    lib/python${Python_VERSION_MAJOR}.${Python_VERSION_MINOR}/dist-packages
    CACHE STRING "Folder, relative to the prefix, for the Python module")

# Compiles target and the project libraries it links, directly or not, as position-independent
# code: they go into the module, a shared object. Call it once every library is defined.
function(zoduz_position_independent target)
    set_property(TARGET ${target} PROPERTY POSITION_INDEPENDENT_CODE ON)
    get_target_property(libraries ${target} LINK_LIBRARIES)
    foreach(library IN LISTS libraries)
        if(TARGET ${library} AND library MATCHES "^zoduz_")
            get_target_property(done ${library} POSITION_INDEPENDENT_CODE)
            if(NOT done)
                zoduz_position_independent(${library})
            endif()
        endif()
    endforeach()
endfunction()
