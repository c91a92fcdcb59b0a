# Checks that the layer libraries keep their boundaries: a source compiled with a library's own
# flags reaches the headers of the layers it links, but not a higher layer's nor Qt's.
#   cmake -DBUILD_DIR=<build tree> -DSOURCE_DIR=<source tree> -P check-layers.cmake
file(READ "${BUILD_DIR}/compile_commands.json" commands)
string(JSON count LENGTH "${commands}")
math(EXPR last "${count} - 1")

# The compile command of one source file, as a list, with its output sent nowhere.
function(command_of source out)
    foreach(i RANGE ${last})
        string(JSON file GET "${commands}" ${i} file)
        if(file STREQUAL "${SOURCE_DIR}/${source}")
            string(JSON command GET "${commands}" ${i} command)
            separate_arguments(args UNIX_COMMAND "${command}")
            list(FIND args "-o" at)
            math(EXPR at "${at} + 1")
            list(REMOVE_AT args ${at})
            list(INSERT args ${at} /dev/null)
            set(${out} "${args}" PARENT_SCOPE)
            return()
        endif()
    endforeach()
    message(FATAL_ERROR "no compile command for ${source}")
endfunction()

set(failures 0)
# source of the library | header | whether it must be found
set(cases
    "document/DataFun.cpp|expr/FunCompiler.h|yes"
    "document/DataFun.cpp|view/CurvistView.h|no"
    "expr/FunCompiler.cpp|document/CurvistDoc.h|no"
    "platform/IniFile.cpp|expr/DataAnalyzeFun.h|no"
    "settings/VisParam.cpp|view/CurvistView.h|no"
    "view/CurvistView.cpp|settings/VisParam.h|yes"
    "view/CurvistView.cpp|panel/NumberText.h|no"
    "view/CurvistView.cpp|app/MainFrame.h|no"
    "panel/NumberText.cpp|app/MainFrame.h|no"
    "panel/ControlView.cpp|view/CurvistView.h|no"
    "tools/curvist_plot.cpp|panel/NumberText.h|no"
    "help/HelpBundle.cpp|document/CurvistDoc.h|no"
    "view/CurvistView.cpp|QString|no"
    "expr/FunCompiler.cpp|platform/qt/QtStrings.h|no"
    "platform/qt/QtStrings.cpp|QString|yes")
foreach(case IN LISTS cases)
    string(REPLACE "|" ";" parts "${case}")
    list(GET parts 0 source)
    list(GET parts 1 header)
    list(GET parts 2 expected)
    command_of(${source} args)
    set(probe "${BUILD_DIR}/layer_probe.cpp")
    if(header MATCHES "^Q")
        file(WRITE "${probe}" "#include <${header}>\n")
    else()
        file(WRITE "${probe}" "#include \"${header}\"\n")
    endif()
    list(FIND args "${SOURCE_DIR}/${source}" at)
    if(at LESS 0)
        message(FATAL_ERROR "${source} is not in its own compile command")
    endif()
    list(REMOVE_AT args ${at})
    list(INSERT args ${at} "${probe}")
    execute_process(COMMAND ${args} RESULT_VARIABLE rc OUTPUT_QUIET ERROR_QUIET
                    WORKING_DIRECTORY "${BUILD_DIR}")
    if(rc EQUAL 0)
        set(found yes)
    else()
        set(found no)
    endif()
    if(NOT found STREQUAL expected)
        message(SEND_ERROR "${source}: ${header} reachable: ${found}, expected ${expected}")
        math(EXPR failures "${failures} + 1")
    endif()
endforeach()
file(REMOVE "${probe}")
if(failures)
    message(FATAL_ERROR "${failures} layer boundaries broken")
endif()
message(STATUS "layer boundaries hold")
