# The Windows program: Win32 layer, quorlax.exe with its resources, the data
# files copied beside it, and a minimal window program used as a baseline.
enable_language(RC)

add_library(quorlax_win STATIC
  forms/render_win.cpp
  forms/menu_win.cpp
  forms/scene_win.cpp
  forms/button_host_win.cpp
  forms/textbox_host_win.cpp
  forms/timer_host_win.cpp
  platform/barrier_win.cpp
  platform/message_loop_win.cpp
  platform/services_win.cpp
  platform/dialogs_win.cpp
  platform/lazy_dll_win.cpp
  platform/pictures_win.cpp
  scores/hall_of_fame_window_win.cpp
  settings/about_window_win.cpp
  settings/picture_chooser_window_win.cpp
  settings/shell_win.cpp
  net/battle_link_win.cpp
  net/battle_panel_win.cpp
  practice/practice_panel_win.cpp
  practice/record_file_win.cpp
  practice/record_form_win.cpp
  game/game_windows_win.cpp
  practice/practice_windows_win.cpp
  app/main_window_win.cpp
)
target_link_libraries(quorlax_win PUBLIC quorlax_core user32 gdi32 advapi32 uuid)

# The manifest carries the version too; windres finds it in the generated
# folder, and the resources are remade when it or a picture changes.
configure_file(app/quorlax.manifest.in ${CMAKE_BINARY_DIR}/generated/quorlax.manifest @ONLY)
file(GLOB QUORLAX_ART ${CMAKE_CURRENT_SOURCE_DIR}/data/art/*.ico ${CMAKE_CURRENT_SOURCE_DIR}/data/art/*.bmp)
set_source_files_properties(app/quorlax.rc PROPERTIES
  OBJECT_DEPENDS "${CMAKE_BINARY_DIR}/generated/quorlax.manifest;${QUORLAX_ART}")

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
  add_executable(quorlax_bench tools/bench_win.cpp tools/bench_battle_win.cpp app/quorlax.rc)
  target_link_libraries(quorlax_bench PRIVATE quorlax_win psapi ws2_32)
  add_dependencies(quorlax_bench quorlax baseline_window)

  add_executable(screenshot_driver tools/screenshot_driver_win.cpp)
  target_link_libraries(screenshot_driver PRIVATE quorlax_core user32 gdi32)
  if(MINGW)
    target_link_options(screenshot_driver PRIVATE -municode)
  endif()
endif()

# The window-frame skin: subclassing, timers, frame manager, caption painter
# and painted menu bar. Self-contained; the main window attaches it at load.
add_library(quorlax_skin STATIC
  skin/skin_error_win.cpp
  skin/subclass_win.cpp
  skin/install_proc_win.cpp  # alone in its object file: the tests link a refusing one instead
  skin/timer_win.cpp
  skin/declares_win.cpp
  skin/nc_calc_size_win.cpp
  skin/mem_dc_win.cpp
  skin/skin_look_win.cpp
  skin/menu_bar_win.cpp
  skin/toolbar_menu_win.cpp
  skin/neo_caption_win.cpp
)
target_include_directories(quorlax_skin PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(quorlax_skin PUBLIC user32 gdi32)
target_sources(quorlax_win PRIVATE skin/setup_skin_win.cpp)
target_link_libraries(quorlax_win PUBLIC quorlax_skin)

# `make dist`: the download zip of this architecture, named with the version.
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  set(QUORLAX_ARCH win64)
else()
  set(QUORLAX_ARCH win32)
endif()
set(QUORLAX_ZIP ${CMAKE_BINARY_DIR}/quorlax-${PROJECT_VERSION}-${QUORLAX_ARCH}.zip)
add_custom_command(OUTPUT ${QUORLAX_ZIP}
  COMMAND python3 ${CMAKE_CURRENT_SOURCE_DIR}/tools/make_dist.py --version ${PROJECT_VERSION}
          --arch ${QUORLAX_ARCH} --exe $<TARGET_FILE:quorlax> --data ${CMAKE_CURRENT_SOURCE_DIR}/data
          --out ${CMAKE_BINARY_DIR}
  DEPENDS quorlax ${CMAKE_CURRENT_SOURCE_DIR}/tools/make_dist.py ${QUORLAX_DATA_FILES}
          ${CMAKE_CURRENT_SOURCE_DIR}/data/README.md
  COMMENT "Packing ${QUORLAX_ZIP}")
add_custom_target(dist DEPENDS ${QUORLAX_ZIP})
