# libmdb built from its own sources (-DORLU_FUZZ_LIBMDB_SOURCE=DIR, an mdbtools source tree
# of the version the system ships) with the fuzzer's coverage and the address sanitizer, so
# that its reads beyond a buffer are found, not only its crashes. Without it the harness
# uses the system's libmdb as shipped.
set(ORLU_FUZZ_LIBMDB_SOURCE "" CACHE PATH "mdbtools sources to build libmdb from for fuzzing")
if(ORLU_FUZZ_LIBMDB_SOURCE)
  set(root ${CMAKE_BINARY_DIR}/libmdb-include)
  set(HAVE_ICONV_H 1)
  set(HAVE_XLOCALE_H 0)
  set(GLIB_INCLUDE_HEADER glib.h)
  set(LOCALE_T locale_t)
  set(PACKAGE mdbtools)
  set(VERSION fuzzed)
  configure_file(${ORLU_FUZZ_LIBMDB_SOURCE}/include/mdbtools.h.in ${root}/mdbtools.h @ONLY)
  configure_file(${ORLU_FUZZ_LIBMDB_SOURCE}/include/mdbver.h.in ${root}/mdbver.h @ONLY)
  pkg_check_modules(FUZZ_GLIB REQUIRED IMPORTED_TARGET glib-2.0)
  set(files catalog file table data dump backend money sargs index like write stats map props worktable
    options iconv version rc4)
  list(TRANSFORM files PREPEND ${ORLU_FUZZ_LIBMDB_SOURCE}/src/libmdb/)
  list(TRANSFORM files APPEND .c)
  enable_language(C)
  add_library(orlu_fuzz_libmdb STATIC ${files})
  target_include_directories(orlu_fuzz_libmdb PUBLIC ${root} ${ORLU_FUZZ_LIBMDB_SOURCE}/include)
  target_compile_definitions(orlu_fuzz_libmdb PRIVATE HAVE_ICONV=1 HAVE_VASPRINTF=1 HAVE_FMEMOPEN=1 TLS=__thread
    ICONV_CONST=)
  target_compile_options(orlu_fuzz_libmdb PRIVATE -w -fsanitize=fuzzer-no-link,address -fno-omit-frame-pointer)
  target_link_libraries(orlu_fuzz_libmdb PUBLIC PkgConfig::FUZZ_GLIB)
endif()
