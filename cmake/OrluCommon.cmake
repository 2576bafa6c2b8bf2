# Settings every target of the project shares.
add_library(orlu_common INTERFACE)
target_compile_features(orlu_common INTERFACE cxx_std_20)
target_compile_options(orlu_common INTERFACE -Wall -Wextra -Wpedantic
  -Wshadow -Wold-style-cast -Wnon-virtual-dtor -Woverloaded-virtual)
target_compile_definitions(orlu_common INTERFACE
  QT_NO_CAST_FROM_ASCII
  QT_NO_CAST_TO_ASCII
  QT_NO_URL_CAST_FROM_STRING
  QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
  QT_USE_QSTRINGBUILDER
  QT_DISABLE_DEPRECATED_BEFORE=0x060400)
# The hardening Debian builds its packages with: a stack guard, checked string and memory
# functions where the code is optimised, and relocations resolved and made read-only at start.
target_compile_options(orlu_common INTERFACE -fstack-protector-strong
  $<$<NOT:$<CONFIG:Debug>>:-D_FORTIFY_SOURCE=2>)
target_link_options(orlu_common INTERFACE LINKER:-z,relro LINKER:-z,now)
if(ORLU_WERROR)
  target_compile_options(orlu_common INTERFACE -Werror)
endif()
if(ORLU_SANITIZE)
  target_compile_options(orlu_common INTERFACE -fsanitize=address,undefined -fno-sanitize-recover=all
    -fno-omit-frame-pointer)
  target_link_options(orlu_common INTERFACE -fsanitize=address,undefined)
endif()
# For fuzzing, all code is instrumented for the fuzzer's coverage and the sanitizers; only
# the harnesses of fuzz/ link the fuzzer itself.
if(ORLU_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "ORLU_FUZZ needs clang (CXX=clang++-14)")
  endif()
  target_compile_options(orlu_common INTERFACE -fsanitize=fuzzer-no-link,address,undefined
    -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  target_link_options(orlu_common INTERFACE -fsanitize=address,undefined)
endif()

# orlu_add_library(name [HEADERS folder...] SOURCES ... [PUBLIC lib...] [PRIVATE lib...]):
# a static library of the project. HEADERS names the folders of src/ whose headers the
# library exposes (as "folder/name.h"); a library sees only the headers of what it links,
# so an include of a library it does not link fails to compile. Third-party libraries go
# PRIVATE to the one library that uses them.
function(orlu_add_library name)
  cmake_parse_arguments(ARG "" "" "HEADERS;SOURCES;PUBLIC;PRIVATE" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_link_libraries(${name} PUBLIC orlu_common ${ARG_PUBLIC} PRIVATE ${ARG_PRIVATE})
  if(ARG_HEADERS)
    set(root ${CMAKE_BINARY_DIR}/include/${name})
    file(REMOVE_RECURSE ${root})
    foreach(folder ${ARG_HEADERS})
      file(GLOB headers CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/${folder}/*.h)
      file(MAKE_DIRECTORY ${root}/${folder})
      foreach(header ${headers})
        get_filename_component(file ${header} NAME)
        file(CREATE_LINK ${header} ${root}/${folder}/${file} SYMBOLIC)
      endforeach()
    endforeach()
    target_include_directories(${name} PUBLIC ${root})
  endif()
endfunction()

# cmake --build BUILD --target format: formats every C++ file with the repository's .clang-format.
add_custom_target(format COMMAND ${PROJECT_SOURCE_DIR}/scripts/format
  WORKING_DIRECTORY ${PROJECT_SOURCE_DIR} USES_TERMINAL VERBATIM)
add_custom_target(format-check COMMAND ${PROJECT_SOURCE_DIR}/scripts/format --check
  WORKING_DIRECTORY ${PROJECT_SOURCE_DIR} USES_TERMINAL VERBATIM)

# orlu_beside_jet_reader(target): the program reads Access files through orlu-jet-reader,
# which it finds beside its own executable: a link to it there, in the build tree.
function(orlu_beside_jet_reader target)
  get_target_property(dir ${target} BINARY_DIR)
  if(NOT dir STREQUAL "${CMAKE_BINARY_DIR}/src/cli")
    file(CREATE_LINK ${CMAKE_BINARY_DIR}/src/cli/orlu-jet-reader ${dir}/orlu-jet-reader SYMBOLIC)
  endif()
  add_dependencies(${target} orlu-jet-reader)
endfunction()
