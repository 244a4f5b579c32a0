# One place for the warning set and the sanitizer flags; every target of ours links nq_warnings.
add_library(nq_warnings INTERFACE)
target_compile_options(nq_warnings INTERFACE -Wall -Wextra -Werror)
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  # GCC 12 reports false positives in libstdc++ headers at -O2 (std::string, std::variant).
  target_compile_options(nq_warnings INTERFACE -Wno-restrict -Wno-maybe-uninitialized -Wno-array-bounds -Wno-stringop-overflow)
endif()

if(NQ_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

if(NQ_FUZZ AND NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  message(FATAL_ERROR "NQ_FUZZ needs clang (libFuzzer)")
endif()
if(NQ_FUZZ)
  # Instrument every library for coverage so the fuzzers can see into the core.
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()

# Adds the library of one folder of src/: every .cpp in it but those named in EXCLUDE (back ends
# whose library is missing), linked to the given targets.
function(nq_folder_library name)
  cmake_parse_arguments(ARG "" "" "LINKS;EXCLUDE" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  foreach(excluded ${ARG_EXCLUDE})
    list(REMOVE_ITEM sources ${CMAKE_CURRENT_SOURCE_DIR}/${excluded})
  endforeach()
  if(sources)
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC ${ARG_LINKS} PRIVATE nq_warnings)
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} INTERFACE ${ARG_LINKS})
  endif()
endfunction()
