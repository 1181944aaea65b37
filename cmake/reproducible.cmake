# The same commit gives the same bytes, built in any folder at any time.
#
# KRY_SOURCE_DATE_EPOCH, the one time that reaches the binaries (the program's PE time stamp, the
# file times the setup and the portable zip store): SOURCE_DATE_EPOCH from the environment when
# set, otherwise the time of the commit built, outside git a fixed date. Taken when configuring:
# configure again after a commit (a release is built from a fresh clone anyway).
if(DEFINED ENV{SOURCE_DATE_EPOCH})
    set(KRY_SOURCE_DATE_EPOCH "$ENV{SOURCE_DATE_EPOCH}")
else()
    execute_process(COMMAND git log -1 --format=%ct
                    WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
                    OUTPUT_VARIABLE KRY_SOURCE_DATE_EPOCH
                    OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
endif()
if(NOT KRY_SOURCE_DATE_EPOCH MATCHES "^[0-9]+$")
    set(KRY_SOURCE_DATE_EPOCH 1704067200)  # 2024-01-01 00:00:00 UTC
endif()

# Neither the source nor the build folder reaches an object file (__FILE__, debug information).
add_compile_options("$<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${CMAKE_SOURCE_DIR}=.>"
                    "$<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${CMAKE_BINARY_DIR}=build>")

if(WIN32)
    # binutils' ld writes SOURCE_DATE_EPOCH from its environment as the PE time stamp, and the
    # PE checksum it computes over the image then stays the same too.
    foreach(lang C CXX)
        set(CMAKE_${lang}_LINKER_LAUNCHER
            ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${KRY_SOURCE_DATE_EPOCH})
    endforeach()
endif()
