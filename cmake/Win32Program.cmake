# The Windows program: Win32 layer, quorlax.exe with its resources, the data
# files copied beside it, and a minimal window program used as a baseline.
enable_language(RC)

add_library(quorlax_win STATIC
  forms/render_win.cpp
  forms/menu_win.cpp
  forms/scene_win.cpp
  forms/textbox_host_win.cpp
  forms/timer_host_win.cpp
  platform/barrier_win.cpp
  platform/message_loop_win.cpp
  platform/services_win.cpp
  platform/dialogs_win.cpp
  platform/pictures_win.cpp
  scores/form2_win.cpp
  practice/practice_panel_win.cpp
  app/main_window_win.cpp
)
target_link_libraries(quorlax_win PUBLIC quorlax_core user32 gdi32 winmm imm32 comctl32 advapi32 shell32 ole32
                      oleaut32 uuid)

add_executable(quorlax WIN32 app/main_win.cpp app/quorlax.rc)
target_link_libraries(quorlax PRIVATE quorlax_win)
if(MINGW)
  target_link_options(quorlax PRIVATE -municode)
endif()

add_custom_command(TARGET quorlax POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${QUORLAX_DATA_FILES} $<TARGET_FILE_DIR:quorlax>
  COMMENT "Copying the data files beside quorlax.exe")

add_executable(baseline_window WIN32 tools/baseline_win.cpp)
target_link_libraries(baseline_window PRIVATE user32 gdi32)
if(MINGW)
  target_link_options(baseline_window PRIVATE -municode)
endif()

if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  add_executable(quorlax_bench tools/bench_win.cpp app/quorlax.rc)
  target_include_directories(quorlax_bench PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/tests)
  target_link_libraries(quorlax_bench PRIVATE quorlax_win)
  add_dependencies(quorlax_bench quorlax baseline_window)

  add_executable(screenshot_driver tools/screenshot_driver_win.cpp)
  target_include_directories(screenshot_driver PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/tests)
  target_link_libraries(screenshot_driver PRIVATE user32 gdi32)
  if(MINGW)
    target_link_options(screenshot_driver PRIVATE -municode)
  endif()
endif()
