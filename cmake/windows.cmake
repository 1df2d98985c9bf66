# Windows side: Vorlane.exe and the test programs that run under Wine.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
enable_language(RC)

set(WIN_FLAGS ${VORLANE_TEXT_FLAGS} -Wall -Wextra -Wno-cast-function-type)
set(WIN_LIBS comctl32 gdi32 user32 advapi32 shell32 version)

set(IMAGES ${CMAKE_BINARY_DIR}/images)
set(IMAGE_FILES vorlane.ico idle.ico system.ico glyph_reget.bmp glyph_by_id.bmp
    glyph_by_name.bmp glyph_update.bmp glyph_stop.bmp glyph_close.bmp banner.bmp)
list(TRANSFORM IMAGE_FILES PREPEND ${IMAGES}/ OUTPUT_VARIABLE IMAGE_PATHS)
add_custom_command(OUTPUT ${IMAGE_PATHS}
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/resources/make_images.py ${IMAGES}
  DEPENDS ${CMAKE_SOURCE_DIR}/resources/make_images.py)
add_custom_target(images DEPENDS ${IMAGE_PATHS})

add_library(vorlane_core STATIC
  ${PORTABLE_SOURCES}
  app/app_window.cpp
  app/clipboard.cpp
  app/details/details_reading.cpp
  app/details/details_window.cpp
  app/details/background_read.cpp
  app/entry_actions.cpp
  app/entry_menu.cpp
  app/entry_sequence.cpp
  app/form_components.cpp
  app/form_dpi.cpp
  app/form_keys.cpp
  app/form_reload.cpp
  app/live_figures.cpp
  app/message_dialog.cpp
  app/start_lock.cpp
  app/tools/window_pointer.cpp
  app/tree_stop.cpp
  app/unit1.cpp
  base/shown_text.cpp
  controls/drawing_tools.cpp
  controls/glyph_cache.cpp
  controls/graphic_list_box.cpp
  controls/list_pointer.cpp
  model/entry_model.cpp
  model/reload_job.cpp
  model/reload_worker.cpp
  model/snapshot.cpp
  procinfo/app_windows.cpp
  procinfo/details.cpp
  procinfo/figure_reader.cpp
  procinfo/module_list.cpp
  procinfo/privilege.cpp
  procinfo/process_api.cpp
  procinfo/process_image.cpp
  procinfo/process_memory.cpp
  procinfo/process_ops.cpp
  procinfo/title_budget.cpp
  procinfo/toolhelp_processes.cpp
  productinfo/home_page.cpp
  productinfo/icon_group.cpp
  productinfo/qorfunc.cpp
  productinfo/resolve.cpp
  productinfo/wow64_redirection.cpp
  ui/bitmap_button.cpp
  ui/combo_box.cpp
  ui/control.cpp
  ui/control_host.cpp
  ui/dpi.cpp
  ui/edit.cpp
  ui/font.cpp
  ui/image.cpp
  ui/image_list.cpp
  ui/label.cpp
  ui/modal_dialog.cpp
  ui/panel.cpp
  ui/speed_button.cpp
  ui/status_bar.cpp
  ui/tab_control.cpp
  ui/message_calls.cpp
  ui/text_calls.cpp
  ui/window.cpp
)
target_include_directories(vorlane_core PUBLIC ${CMAKE_SOURCE_DIR})
target_compile_definitions(vorlane_core PUBLIC WINVER=0x0501 _WIN32_WINNT=0x0501 _WIN32_IE=0x0600)
target_compile_options(vorlane_core PUBLIC ${WIN_FLAGS})
target_link_libraries(vorlane_core PUBLIC ${WIN_LIBS})
target_link_options(vorlane_core PUBLIC -static -static-libgcc -static-libstdc++)

set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -I${IMAGES} -I${CMAKE_SOURCE_DIR}/resources -c 932")
add_executable(Vorlane WIN32 app/main.cpp runtime/floor_imports.cpp resources/vorlane.rc)
add_dependencies(Vorlane images)
set_source_files_properties(resources/vorlane.rc PROPERTIES OBJECT_DEPENDS
  "${IMAGE_PATHS};${CMAKE_SOURCE_DIR}/resources/vorlane.manifest")
target_link_libraries(Vorlane vorlane_core)
target_link_options(Vorlane PRIVATE -mwindows)

# Test copies whose manifest asks for another process code page (UTF-8, as on
# Windows 10 with the UTF-8 setting) or none (the system's): there the
# window's texts must come through the wide calls alone.
file(READ ${CMAKE_SOURCE_DIR}/resources/vorlane.manifest VORLANE_MANIFEST)
file(READ ${CMAKE_SOURCE_DIR}/resources/vorlane.rc VORLANE_RC)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
  ${CMAKE_SOURCE_DIR}/resources/vorlane.manifest ${CMAKE_SOURCE_DIR}/resources/vorlane.rc)
set(VORLANE_VARIANTS utf8 acp)
if(CMAKE_BUILD_TYPE STREQUAL MinSizeRel)
  set(VORLANE_VARIANTS "")  # not part of a release
endif()
foreach(variant ${VORLANE_VARIANTS})
  set(line "")
  if(variant STREQUAL utf8)
    set(line "<activeCodePage xmlns=\"http://schemas.microsoft.com/SMI/2019/WindowsSettings\">UTF-8</activeCodePage>")
  endif()
  string(REGEX REPLACE "<activeCodePage[^\n]*</activeCodePage>" "${line}" manifest "${VORLANE_MANIFEST}")
  if(manifest STREQUAL VORLANE_MANIFEST)
    message(FATAL_ERROR "the manifest has no activeCodePage line to replace")
  endif()
  set(dir ${CMAKE_BINARY_DIR}/manifest-${variant})
  file(WRITE ${dir}/vorlane.manifest "${manifest}")
  string(REPLACE "\"vorlane.manifest\"" "\"${dir}/vorlane.manifest\"" rc "${VORLANE_RC}")
  file(WRITE ${dir}/vorlane.rc "${rc}")
  add_executable(Vorlane-${variant} WIN32 app/main.cpp runtime/floor_imports.cpp ${dir}/vorlane.rc)
  add_dependencies(Vorlane-${variant} images)
  target_link_libraries(Vorlane-${variant} vorlane_core)
  target_link_options(Vorlane-${variant} PRIVATE -mwindows)
endforeach()

# The release a user downloads (MinSizeRel, made by `make dist`): small,
# stripped, and the same bytes from the same sources wherever it is built.
target_compile_options(vorlane_core PUBLIC
  $<$<CONFIG:MinSizeRel>:-ffile-prefix-map=${CMAKE_SOURCE_DIR}/=>)
target_link_options(Vorlane PRIVATE $<$<CONFIG:MinSizeRel>:-s>
  $<$<CONFIG:MinSizeRel>:-Wl,--no-insert-timestamp>)

add_subdirectory(tests/win)
add_subdirectory(bench)
