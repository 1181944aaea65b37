# Same strict warnings in the native and the Windows build.
add_library(kry_warnings INTERFACE)
target_compile_options(kry_warnings INTERFACE -Wall -Wextra -Werror)

add_library(kry_sanitize INTERFACE)
if(KRY_SANITIZE AND NOT WIN32)
    target_compile_options(kry_sanitize INTERFACE -fsanitize=address,undefined
                                                  -fno-sanitize-recover=all -fno-omit-frame-pointer)
    target_link_options(kry_sanitize INTERFACE -fsanitize=address,undefined)
endif()
