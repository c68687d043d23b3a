# The Windows side: the updater, the stand-in Tervalon, and the tests run under Wine.
enable_language(RC)
add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
# Small executables: unused functions and data are left out at link time.
add_compile_options(-ffunction-sections -fdata-sections)

find_package(Python3 REQUIRED COMPONENTS Interpreter)

set(TERVALON_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
set(WINE_RUN ${CMAKE_SOURCE_DIR}/tools/wine-run.sh)

# ---- The stand-in Tervalon: the new release (default payload) and an older one
function(tervalon_standin target version)
  add_executable(${target} WIN32 standin/tervalon.cpp)
  target_compile_definitions(${target} PRIVATE TERVALON_STANDIN_VERSION="${version}")
  target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR}/src ${GENERATED_DIR})
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/standin
                                             OUTPUT_NAME ${target})
endfunction()
tervalon_standin(tervalon_new "${TERVALON_VERSION}")
set(TERVALON_OLD_VERSION "1.0097" CACHE STRING "Version of the older stand-in Tervalon used as the installed one")
tervalon_standin(tervalon_old "${TERVALON_OLD_VERSION}")

# ---- The payload ------------------------------------------------------------------
set(TERVALON_PAYLOAD_SIZE 11450880 CACHE STRING "Size the default payload is padded to")
if(TERVALON_PAYLOAD)
  get_filename_component(PAYLOAD_FILE "${TERVALON_PAYLOAD}" ABSOLUTE)
  if(NOT EXISTS "${PAYLOAD_FILE}")
    message(FATAL_ERROR "TERVALON_PAYLOAD names no file: ${PAYLOAD_FILE}")
  endif()
  add_custom_target(tervalon_payload)
else()
  # The stand-in, padded with zeros to the size of the real release.
  set(PAYLOAD_FILE ${CMAKE_BINARY_DIR}/payload/Tervalon.exe)
  add_custom_command(OUTPUT ${PAYLOAD_FILE}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/payload
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:tervalon_new> ${PAYLOAD_FILE}
    COMMAND truncate -s ${TERVALON_PAYLOAD_SIZE} ${PAYLOAD_FILE}
    DEPENDS tervalon_new
    COMMENT "Padding the stand-in Tervalon to ${TERVALON_PAYLOAD_SIZE} bytes as the payload")
  add_custom_target(tervalon_payload DEPENDS ${PAYLOAD_FILE})
endif()

# ---- Pictures ------------------------------------------------------------------------
set(PICTURES_DIR ${CMAKE_BINARY_DIR}/pictures)
set(PICTURE_FILES ${PICTURES_DIR}/app.ico ${PICTURES_DIR}/information.bmp ${PICTURES_DIR}/confirmation.bmp
                  ${PICTURES_DIR}/warning.bmp ${PICTURES_DIR}/error.bmp)
add_custom_command(OUTPUT ${PICTURE_FILES}
  COMMAND Python3::Interpreter ${CMAKE_SOURCE_DIR}/tools/make_pictures.py ${PICTURES_DIR}
  DEPENDS ${CMAKE_SOURCE_DIR}/tools/make_pictures.py
  COMMENT "Drawing the icon and the message pictures")
add_custom_target(tervalon_pictures DEPENDS ${PICTURE_FILES})

configure_file(resources/pictures.rc.in ${GENERATED_DIR}/pictures.rc @ONLY)
configure_file(resources/update.rc.in ${GENERATED_DIR}/update.rc @ONLY)
set_source_files_properties(${GENERATED_DIR}/update.rc PROPERTIES
  OBJECT_DEPENDS "${PAYLOAD_FILE};${PICTURE_FILES};${CMAKE_SOURCE_DIR}/resources/update.manifest")

# ---- The updater -------------------------------------------------------------------
add_library(tervalon_win32 STATIC
  src/ui/win32/controls.cpp
  src/ui/win32/status_window.cpp
  src/update/win32/install_probe.cpp
  src/ui/win32/message_dialog.cpp
  src/update/win32/file_system.cpp
  src/update/win32/hand_back_runner.cpp
  src/update/win32/own_resource.cpp
)
target_link_libraries(tervalon_win32 PUBLIC tervalon_core comctl32 gdi32 user32 kernel32)

add_executable(update WIN32 src/app/main.cpp src/app/update_steps.cpp ${GENERATED_DIR}/update.rc)
target_link_libraries(update PRIVATE tervalon_win32)
target_link_options(update PRIVATE -s -Wl,--gc-sections)
add_dependencies(update tervalon_payload tervalon_pictures)
set_target_properties(update PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/dist)

add_subdirectory(tests/win32)

# End-to-end tests of the built updater under Wine and Xvfb.
add_subdirectory(tests/e2e)
