# Same strict warnings in the native and the Windows build.
add_library(kry_warnings INTERFACE)
target_compile_options(kry_warnings INTERFACE -Wall -Wextra -Werror)

# The sanitizers of the native builds: ASan + UBSan for the unit tests, the same plus libFuzzer's
# coverage for the fuzzers, ThreadSanitizer for the threaded tests.
add_library(kry_sanitize INTERFACE)
if(NOT WIN32)
    if(KRY_FUZZ)
        set(kry_sanitizers fuzzer-no-link,address,undefined)
    elseif(KRY_TSAN)
        set(kry_sanitizers thread)
    elseif(KRY_SANITIZE)
        set(kry_sanitizers address,undefined)
    endif()
    if(kry_sanitizers)
        target_compile_options(kry_sanitize INTERFACE -fsanitize=${kry_sanitizers}
                                                      -fno-sanitize-recover=all -fno-omit-frame-pointer)
        target_link_options(kry_sanitize INTERFACE -fsanitize=${kry_sanitizers})
    endif()
endif()
