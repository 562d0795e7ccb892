# Sanitizer build and fuzz targets (clang), used by scripts/test.sh in build-asan:
#   CORVANE_SANITIZE   every target with AddressSanitizer and UndefinedBehaviorSanitizer;
#                      the first report ends the program (no recovery), so a test or a
#                      fuzz run fails on it. float-cast-overflow is named explicitly: a
#                      real too large for the integer it is converted to is what hostile
#                      data files turn into.
#   CORVANE_BUILD_FUZZ the libFuzzer targets of tests/fuzz; the libraries get the
#                      fuzzer's coverage instrumentation too.
option(CORVANE_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer (clang)" OFF)
option(CORVANE_BUILD_FUZZ "Build the libFuzzer targets of the file readers (clang)" OFF)

if(CORVANE_SANITIZE OR CORVANE_BUILD_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "CORVANE_SANITIZE and CORVANE_BUILD_FUZZ need clang: "
                        "configure with -DCMAKE_CXX_COMPILER=clang++")
  endif()
endif()
if(CORVANE_SANITIZE)
  set(CORVANE_SANITIZER_FLAGS
      -fsanitize=address,undefined,float-cast-overflow -fno-sanitize-recover=all
      -fno-omit-frame-pointer -g)
  add_compile_options(${CORVANE_SANITIZER_FLAGS})
  add_link_options(${CORVANE_SANITIZER_FLAGS})
endif()
if(CORVANE_BUILD_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()
