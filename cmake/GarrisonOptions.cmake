# One place for the language standard, warnings and instrumentation of every target.
add_library(garrison_options INTERFACE)
target_compile_features(garrison_options INTERFACE cxx_std_20)
target_compile_options(garrison_options INTERFACE -Wall -Wextra -Wshadow -Wnon-virtual-dtor -Woverloaded-virtual)
if(GARRISON_WERROR)
  target_compile_options(garrison_options INTERFACE -Werror)
endif()
target_include_directories(garrison_options INTERFACE ${PROJECT_SOURCE_DIR}/src)

if(GARRISON_SANITIZE)
  target_compile_options(garrison_options INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_link_options(garrison_options INTERFACE -fsanitize=address,undefined)
endif()

if(GARRISON_TSAN)
  if(GARRISON_SANITIZE)
    message(FATAL_ERROR "GARRISON_TSAN and GARRISON_SANITIZE cannot go together")
  endif()
  target_compile_options(garrison_options INTERFACE -fsanitize=thread -fno-omit-frame-pointer)
  target_link_options(garrison_options INTERFACE -fsanitize=thread)
endif()

if(GARRISON_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "GARRISON_FUZZ needs clang (configure with CXX=clang++)")
  endif()
  # Instrument everything for coverage; only the fuzz executables link the fuzzer main.
  target_compile_options(garrison_options INTERFACE -fsanitize=fuzzer-no-link,address,undefined)
  target_link_options(garrison_options INTERFACE -fsanitize=address,undefined)
endif()

# garrison_library(NAME SOURCES... [DEPS ...]): a static layer library.
function(garrison_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_link_libraries(${name} PUBLIC garrison_options ${ARG_DEPS})
endfunction()

# garrison_embed(TARGET INPUT SYMBOL packed|plain): compile a resource file into TARGET
# as garrison::resources::SYMBOL[] and SYMBOLSize.
function(garrison_embed target input symbol mode)
  set(output ${CMAKE_CURRENT_BINARY_DIR}/${symbol}.cpp)
  add_custom_command(
    OUTPUT ${output}
    COMMAND garrison-embed ${input} ${output} ${symbol} ${mode}
    DEPENDS garrison-embed ${input}
    VERBATIM)
  target_sources(${target} PRIVATE ${output})
endfunction()
