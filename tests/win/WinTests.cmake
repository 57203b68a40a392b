# Win32 tests, cross-built with GoogleTest from Debian's source package and
# run under Wine through the emulator wrapper (x86_64 only: the i686 build is
# compiled and linked, not run).
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# wine-run.sh runs a program in the build's own prefix; wine-run-NAME.sh in
# prefix wineprefix-NAME. Each group of tests has a prefix of its own, so
# CTest runs groups side by side (tools/wine-prefix.sh makes each once per
# build folder, as a copy of one base prefix).
function(quorlax_wine_runner name dpi)
  set(QUORLAX_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix${name})
  set(QUORLAX_WINE_DPI ${dpi})
  configure_file(${PROJECT_SOURCE_DIR}/tools/wine-run.sh.in ${CMAKE_BINARY_DIR}/wine-run${name}.sh @ONLY
                 FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
endfunction()
quorlax_wine_runner("" "")
# A screen of 144 dots per inch (150% scaling).
quorlax_wine_runner(-144 144)
foreach(group unit battle e2e skin zip)
  quorlax_wine_runner(-${group} "")
endforeach()
# Each Wine test on an X display of its own.
set(QUORLAX_ON_DISPLAY ${PROJECT_SOURCE_DIR}/tools/on-display.sh)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run.sh)

# Test programs sit beside quorlax.exe and its data files.
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

# The rule tests that depend on Windows itself (tests/CMakeLists.txt says
# why each), and the tests of the Win32 layer.
add_executable(quorlax_win_tests
  ${QUORLAX_WINE_RULE_TESTS}
  ${CMAKE_CURRENT_SOURCE_DIR}/win/services_win_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/win/main_window_win_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/win/hall_of_fame_window_win_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/win/dialogs_pictures_win_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/win/house_win_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/win/settings_windows_win_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/win/battle_win_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/win/practice_win_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/win/history_win_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/win/record_win_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/win/skin/refused_subclass_win.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/support/test_main_win.cpp
  ${PROJECT_SOURCE_DIR}/app/quorlax.rc  # the game's pictures, so tests paint what the game paints
)
target_include_directories(quorlax_win_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(quorlax_win_tests PRIVATE quorlax_win gtest ws2_32 winmm imm32 comctl32 shell32)
# The system-library test plants a copy of the baseline window beside the tests.
add_dependencies(quorlax_win_tests baseline_window)
add_test(NAME win.unit COMMAND ${QUORLAX_ON_DISPLAY} 1024x768 ${CMAKE_BINARY_DIR}/wine-run-unit.sh
         $<TARGET_FILE:quorlax_win_tests> --gtest_brief=1 --gtest_filter=-BattleWinTest.*)
set_tests_properties(win.unit PROPERTIES TIMEOUT 600)
# The battle over a real socket on 127.0.0.1:5238: one such test at a time,
# also across build folders of one machine (the lock file).
set(QUORLAX_PORT_LOCK flock /tmp/quorlax-port5238.lock)
add_test(NAME win.unit.battle COMMAND ${QUORLAX_PORT_LOCK} ${QUORLAX_ON_DISPLAY} 1024x768 ${CMAKE_BINARY_DIR}/wine-run-battle.sh
         $<TARGET_FILE:quorlax_win_tests> --gtest_brief=1 --gtest_filter=BattleWinTest.*)
set_tests_properties(win.unit.battle PROPERTIES TIMEOUT 600 RESOURCE_LOCK port5238)
# The layout once more at 144 dpi (150% scaling), in its own prefix, on a
# screen large enough for the scaled main window.
add_test(NAME win.dpi144
  COMMAND ${QUORLAX_ON_DISPLAY} 1600x1200 ${CMAKE_BINARY_DIR}/wine-run-144.sh
          $<TARGET_FILE:quorlax_win_tests> --gtest_brief=1
          --gtest_filter=*Layout*:MainWindowTest.ClientAreaIsTheFormsSizeAtTheScreenDpi)
set_tests_properties(win.dpi144 PROPERTIES TIMEOUT 600 ENVIRONMENT QUORLAX_EXPECT_DPI=144)

# The real program, started and driven from outside.
add_executable(quorlax_e2e_tests ${CMAKE_CURRENT_SOURCE_DIR}/e2e/e2e_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/e2e/practice_e2e_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/e2e/history_e2e_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/e2e/learning_e2e_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/support/test_main_win.cpp)
target_include_directories(quorlax_e2e_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR} ${PROJECT_SOURCE_DIR})
# The record's own reader checks the files the program leaves; the program's
# painter draws the texts the tests look for on screen.
target_link_libraries(quorlax_e2e_tests PRIVATE quorlax_win gtest user32 gdi32 advapi32)
add_dependencies(quorlax_e2e_tests quorlax)
add_test(NAME win.e2e COMMAND ${QUORLAX_ON_DISPLAY} 1024x768 ${CMAKE_BINARY_DIR}/wine-run-e2e.sh
         $<TARGET_FILE:quorlax_e2e_tests>)
set_tests_properties(win.e2e PROPERTIES TIMEOUT 600)

# The window-frame skin on test windows of its own.
add_executable(quorlax_skin_tests
  ${CMAKE_CURRENT_SOURCE_DIR}/win/skin/subclass_timer_win_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/win/skin/nc_calc_size_win_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/win/skin/neo_caption_win_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/win/skin/menu_bar_win_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/win/skin/refused_subclass_win.cpp
)
target_include_directories(quorlax_skin_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(quorlax_skin_tests PRIVATE quorlax_skin gtest gtest_main)
add_test(NAME win.skin COMMAND ${QUORLAX_ON_DISPLAY} 1024x768 ${CMAKE_BINARY_DIR}/wine-run-skin.sh
         $<TARGET_FILE:quorlax_skin_tests> --gtest_brief=1)
set_tests_properties(win.skin PROPERTIES TIMEOUT 600)

# The download: `make dist`'s zip for x86_64, unpacked into an empty folder
# and started there.
add_executable(quorlax_dist_tests ${CMAKE_CURRENT_SOURCE_DIR}/e2e/dist_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/support/test_main_win.cpp)
target_include_directories(quorlax_dist_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}
                           ${PROJECT_BINARY_DIR}/generated)
target_link_libraries(quorlax_dist_tests PRIVATE quorlax_core gtest user32 gdi32 shell32 advapi32)
add_test(NAME win.dist COMMAND ${CMAKE_COMMAND} --build ${CMAKE_BINARY_DIR} --target dist)
set_tests_properties(win.dist PROPERTIES FIXTURES_SETUP dist_zip TIMEOUT 600)
add_test(NAME win.zip_run
  COMMAND ${QUORLAX_ON_DISPLAY} 1024x768 python3 ${CMAKE_CURRENT_SOURCE_DIR}/dist/zip_run_test.py ${QUORLAX_ZIP}
          ${CMAKE_BINARY_DIR}/wine-run-zip.sh $<TARGET_FILE:quorlax_dist_tests>)
set_tests_properties(win.zip_run PROPERTIES FIXTURES_REQUIRED dist_zip TIMEOUT 600)

# The battle end to end: two real programs in two private prefixes, each side
# driven by quorlax_battle_side from inside its own prefix (a script starts both).
add_executable(quorlax_battle_side ${CMAKE_CURRENT_SOURCE_DIR}/e2e/battle_side_win.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/support/test_main_win.cpp)
target_include_directories(quorlax_battle_side PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(quorlax_battle_side PRIVATE quorlax_win gtest ws2_32)
add_dependencies(quorlax_battle_side quorlax)
add_test(NAME win.e2e.battle COMMAND ${QUORLAX_PORT_LOCK} sh ${CMAKE_CURRENT_SOURCE_DIR}/e2e/battle_e2e.sh ${CMAKE_BINARY_DIR})
set_tests_properties(win.e2e.battle PROPERTIES TIMEOUT 400 RESOURCE_LOCK port5238)
