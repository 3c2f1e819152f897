# One helper declares a library from the sources of one or more folders, its test program from the
# *_test.cpp files beside that code, and its fuzz targets from the *_fuzz.cpp files.
#
#   brelnova_library(NAME imaging_icons DIRS . DEPS brelnova_framework brelnova_platform
#                    [READER] [QRC file.qrc ...])
#
# The library target is brelnova_<NAME>; its test program is <NAME>_test. READER marks a library
# that parses files: it is built in the sanitizer build as well.

set(BRELNOVA_SOURCE_ROOT ${PROJECT_SOURCE_DIR}/src)
set(BRELNOVA_TESTDATA ${PROJECT_SOURCE_DIR}/testdata)
set_property(GLOBAL PROPERTY BRELNOVA_READER_LIBS "")

function(brelnova_library)
  cmake_parse_arguments(ARG "READER" "NAME" "DIRS;DEPS;QRC;TEST_DEPS" ${ARGN})
  if(BRELNOVA_READERS_ONLY AND NOT ARG_READER)
    # In the readers-only build a non-reader library is still needed when a reader depends on it.
    set(_skip_tests ON)
  endif()
  if(NOT ARG_DIRS)
    set(ARG_DIRS .)
  endif()
  set(_sources "")
  set(_tests "")
  set(_fuzz "")
  foreach(_dir IN LISTS ARG_DIRS)
    file(GLOB _all CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${_dir}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/${_dir}/*.h)
    foreach(_f IN LISTS _all)
      if(_f MATCHES "_test\\.cpp$")
        list(APPEND _tests ${_f})
      elseif(_f MATCHES "_fuzz\\.cpp$")
        list(APPEND _fuzz ${_f})
      else()
        list(APPEND _sources ${_f})
      endif()
    endforeach()
  endforeach()

  set(_lib brelnova_${ARG_NAME})
  add_library(${_lib} STATIC ${_sources} ${ARG_QRC})
  target_include_directories(${_lib} PUBLIC ${BRELNOVA_SOURCE_ROOT})
  target_link_libraries(${_lib} PUBLIC ${ARG_DEPS} Qt6::Core Qt6::Gui Qt6::Widgets)

  if(BRELNOVA_TESTS AND _tests AND NOT _skip_tests)
    set(_t ${ARG_NAME}_test)
    add_executable(${_t} ${_tests})
    target_link_libraries(${_t} PRIVATE ${_lib} ${ARG_TEST_DEPS} brelnova_testsupport GTest::gtest GTest::gmock)
    target_compile_definitions(${_t} PRIVATE BRELNOVA_TESTDATA="${BRELNOVA_TESTDATA}")
    # The test data folder is compiled into the test support library; the offscreen platform is
    # the only setting the tests need from their environment.
    gtest_discover_tests(${_t}
      PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
      DISCOVERY_TIMEOUT 60)
  endif()

  # Fuzz targets: with libFuzzer under clang in the fuzz build; elsewhere their seeds run as an
  # ordinary regression test so they always build and every seed stays clean.
  foreach(_f IN LISTS _fuzz)
    if(_skip_tests)
      continue()
    endif()
    get_filename_component(_fname ${_f} NAME_WE)
    set(_seeds ${BRELNOVA_TESTDATA}/fuzz/${_fname})
    if(BRELNOVA_FUZZ)
      add_executable(${_fname} ${_f})
      target_compile_options(${_fname} PRIVATE -fsanitize=fuzzer)
      target_link_options(${_fname} PRIVATE -fsanitize=fuzzer)
      target_link_libraries(${_fname} PRIVATE ${_lib})
    elseif(BRELNOVA_TESTS)
      add_executable(${_fname}_seeds ${_f} ${PROJECT_SOURCE_DIR}/cmake/fuzz_seed_main.cpp)
      target_link_libraries(${_fname}_seeds PRIVATE ${_lib})
      add_test(NAME ${_fname}_seeds COMMAND ${_fname}_seeds ${_seeds})
      set_tests_properties(${_fname}_seeds PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 300)
    endif()
  endforeach()
endfunction()
