# Tests of the Windows build, run under Wine in a prefix of the test run's own (in the build
# folder), with one wineserver for the whole run: the "wine" fixture makes the prefix and starts
# the server, and ends the server after the last test.

# Debian has no GoogleTest for MinGW: it is built here from Debian's sources (googletest).
set(KALDO_GOOGLETEST_SOURCES /usr/src/googletest CACHE PATH "GoogleTest's sources")
set(INSTALL_GTEST OFF)
add_subdirectory(${KALDO_GOOGLETEST_SOURCES} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
foreach(library gtest gtest_main gmock)
  target_compile_options(${library} PRIVATE -w)
endforeach()

find_program(KALDO_WINE wine64 PATHS /usr/lib/wine REQUIRED)
find_program(KALDO_WINESERVER wineserver PATHS /usr/lib/wine REQUIRED)
set(KALDO_WINE_PREFIX ${CMAKE_BINARY_DIR}/wine-prefix)
set(kaldo_wine_run ${CMAKE_CURRENT_LIST_DIR}/wine-run ${KALDO_WINE} ${KALDO_WINESERVER}
                   ${KALDO_WINE_PREFIX})

add_test(NAME wine_prefix_start COMMAND ${kaldo_wine_run} --start)
add_test(NAME wine_prefix_stop COMMAND ${kaldo_wine_run} --stop)
set_tests_properties(wine_prefix_start PROPERTIES FIXTURES_SETUP wine TIMEOUT 300)
set_tests_properties(wine_prefix_stop PROPERTIES FIXTURES_CLEANUP wine)

# kaldo_add_wine_test(<name> <target> [args...]): the program, once, under Wine. (One run per
# binary, not one per test case: every start is a Wine process.)
function(kaldo_add_wine_test name target)
  add_test(NAME ${name} COMMAND ${kaldo_wine_run} $<TARGET_FILE:${target}> ${ARGN})
  set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine TIMEOUT 120 LABELS wine)
endfunction()
