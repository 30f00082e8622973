# Compiler settings shared by every target of the project.

add_library(project_options INTERFACE)
target_compile_options(project_options INTERFACE -Wall -Wextra -Wpedantic -Wshadow
                       -Wno-missing-field-initializers)
if(SUITE_WERROR)
  target_compile_options(project_options INTERFACE -Werror)
endif()

if(SUITE_SANITIZE)
  set(sanitize_flags -fsanitize=address,undefined -fno-sanitize-recover=undefined
                     -fno-omit-frame-pointer)
  target_compile_options(project_options INTERFACE ${sanitize_flags})
  target_link_options(project_options INTERFACE ${sanitize_flags})
  target_compile_definitions(project_options INTERFACE SUITE_SANITIZED=1)
endif()

if(SUITE_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "SUITE_FUZZ needs clang (configure with CXX=clang++ CC=clang)")
  endif()
  set(fuzz_instrument -fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
  target_compile_options(project_options INTERFACE ${fuzz_instrument})
  target_link_options(project_options INTERFACE -fsanitize=address,undefined)
  target_compile_definitions(project_options INTERFACE SUITE_FUZZING=1)
endif()

# A program's library: its modules with the project's settings.
function(suite_library name)
  add_library(${name} STATIC ${ARGN})
  target_link_libraries(${name} PUBLIC project_options)
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
endfunction()
