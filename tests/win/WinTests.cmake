# Win32 tests, cross-built with GoogleTest from Debian's source package and
# run under Wine through the emulator wrapper (x86_64 only: the i686 build is
# compiled and linked, not run).
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

set(QUORLAX_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
configure_file(${PROJECT_SOURCE_DIR}/tools/wine-run.sh.in ${CMAKE_BINARY_DIR}/wine-run.sh @ONLY
               FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run.sh)

# Test programs sit beside quorlax.exe and its data files.
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

# The portable rule tests once more, now against the real code page 936,
# plus the tests of the Win32 layer.
add_executable(quorlax_win_tests
  ${QUORLAX_RULE_TESTS}
  ${CMAKE_CURRENT_SOURCE_DIR}/win/services_win_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/win/main_window_win_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/win/form2_win_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/win/dialogs_pictures_win_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/win/house_win_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/win/practice_win_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/support/test_main_win.cpp
  ${PROJECT_SOURCE_DIR}/app/quorlax.rc  # the game's pictures, so tests paint what the game paints
)
target_include_directories(quorlax_win_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(quorlax_win_tests PRIVATE quorlax_win gtest)
add_test(NAME win.unit COMMAND quorlax_win_tests --gtest_brief=1)
set_tests_properties(win.unit PROPERTIES TIMEOUT 600 RESOURCE_LOCK wine_display)

# The real program, started and driven from outside.
add_executable(quorlax_e2e_tests ${CMAKE_CURRENT_SOURCE_DIR}/e2e/e2e_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/support/test_main_win.cpp)
target_include_directories(quorlax_e2e_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(quorlax_e2e_tests PRIVATE gtest user32 gdi32 advapi32)
add_dependencies(quorlax_e2e_tests quorlax)
add_test(NAME win.e2e COMMAND quorlax_e2e_tests)
set_tests_properties(win.e2e PROPERTIES TIMEOUT 600 RESOURCE_LOCK wine_display)
