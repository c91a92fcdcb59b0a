# Compiles a help project into a CHM (run with cmake -P).
# In: SRC_DIR (the sources), STAGE_DIR (scratch), CHMCMD, ICONV, OUTPUT (the final file), and
# PROJECT (the .hhp in SRC_DIR, default manual.hhp; its "Compiled file" is its name with .chm).
#
# The project and contents files are converted to GBK, the code page in which a help viewer
# for Chinese (LCID 0x804) reads them; the pages are UTF-8 and say so in their <meta>.
# chmcmd reports some failures only on its output and leaves an empty file behind, so both
# its status and its messages are checked, and OUTPUT is replaced only by a sound result.

foreach(var SRC_DIR STAGE_DIR CHMCMD ICONV OUTPUT)
    if(NOT DEFINED ${var})
        message(FATAL_ERROR "compile.cmake: ${var} is not set")
    endif()
endforeach()

file(REMOVE_RECURSE "${STAGE_DIR}")
file(MAKE_DIRECTORY "${STAGE_DIR}")
file(GLOB_RECURSE sources RELATIVE "${SRC_DIR}" "${SRC_DIR}/*")
foreach(f IN LISTS sources)
    if(f MATCHES "\\.(cmake|sh)$")
        continue()
    endif()
    get_filename_component(dir "${STAGE_DIR}/${f}" DIRECTORY)
    file(MAKE_DIRECTORY "${dir}")
    if(f MATCHES "\\.(hhp|hhc|hhk)$")
        execute_process(COMMAND "${ICONV}" -f UTF-8 -t GBK "${SRC_DIR}/${f}"
                        OUTPUT_FILE "${STAGE_DIR}/${f}" RESULT_VARIABLE rc)
        if(NOT rc EQUAL 0)
            message(FATAL_ERROR "Manual: ${f} does not convert to GBK")
        endif()
    else()
        file(COPY "${SRC_DIR}/${f}" DESTINATION "${dir}")
    endif()
endforeach()

if(NOT DEFINED PROJECT)
    set(PROJECT manual.hhp)
endif()
get_filename_component(name "${PROJECT}" NAME_WE)
execute_process(COMMAND "${CHMCMD}" --verbosity 1 "${PROJECT}"
                WORKING_DIRECTORY "${STAGE_DIR}"
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
set(chm "${STAGE_DIR}/${name}.chm")
set(size 0)
if(EXISTS "${chm}")
    file(SIZE "${chm}" size)
endif()
string(REGEX MATCHALL "[^\n]*(Error|Warning|exception)[^\n]*" problems "${out}${err}")
if(NOT rc EQUAL 0 OR size EQUAL 0 OR problems)
    list(JOIN problems "\n" problems)
    message(FATAL_ERROR "chmcmd failed on ${PROJECT} (status ${rc}):\n${problems}")
endif()
file(READ "${chm}" magic LIMIT 4 HEX)
if(NOT magic STREQUAL "49545346") # "ITSF"
    message(FATAL_ERROR "chmcmd wrote no CHM file")
endif()

# Copy beside the target first, then rename: the old manual stays whole until the new one is.
file(COPY_FILE "${chm}" "${OUTPUT}.part")
file(RENAME "${OUTPUT}.part" "${OUTPUT}")
