# Helpers shared by every folder's CMakeLists.

# incubator_add_test(NAME SOURCES a.cpp b.cpp LIBS lib1 lib2 [LABELS l])
# A QTest executable run headless by CTest.
function(incubator_add_test name)
  cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE Qt6::Test ${T_LIBS})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/tests)
  add_test(NAME ${name} COMMAND ${name})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QTWEBENGINE_DISABLE_SANDBOX=1;QT_LOGGING_RULES=qt.qpa.*=false"
    TIMEOUT ${T_TIMEOUT}
    LABELS "${T_LABELS}")
endfunction()

# incubator_add_fuzzer(NAME SOURCES a.cpp LIBS ...)
# The source defines LLVMFuzzerTestOneInput. With INCUBATOR_FUZZ it is a libFuzzer
# binary; otherwise a standalone driver feeds it seeded random inputs under CTest,
# so every fuzz target is built and exercised in every build.
function(incubator_add_fuzzer name)
  cmake_parse_arguments(F "" "" "SOURCES;LIBS" ${ARGN})
  if(INCUBATOR_FUZZ)
    add_executable(${name} ${F_SOURCES})
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    set_property(GLOBAL APPEND PROPERTY INCUBATOR_FUZZERS ${name})
  else()
    add_executable(${name} ${F_SOURCES} ${PROJECT_SOURCE_DIR}/tests/fuzz/standalone_main.cpp)
    add_test(NAME ${name} COMMAND ${name} --runs 3000)
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 300 LABELS fuzz)
  endif()
  target_link_libraries(${name} PRIVATE ${F_LIBS})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR})
endfunction()

# incubator_add_bench(NAME SOURCES ... LIBS ...): built, never run by CTest.
function(incubator_add_bench name)
  cmake_parse_arguments(B "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${B_SOURCES})
  target_link_libraries(${name} PRIVATE ${B_LIBS})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/tests)
endfunction()

# incubator_add_screenshots(NAME SOURCES ... LIBS ...): a program that shows
# windows and saves pictures of them for a person to look at; built, never
# run by CTest. tests/support/screenshots.h has what they share.
function(incubator_add_screenshots name)
  cmake_parse_arguments(S "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${S_SOURCES})
  target_link_libraries(${name} PRIVATE Qt6::Test ${S_LIBS})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/tests)
endfunction()
