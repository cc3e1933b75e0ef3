# The desktop entry and the metainfo are checked by the freedesktop and
# AppStream validators.

find_program(QV_DESKTOP_FILE_VALIDATE desktop-file-validate)
find_program(QV_APPSTREAMCLI appstreamcli)
add_test(NAME desktop_entry_is_valid
  COMMAND ${QV_DESKTOP_FILE_VALIDATE} ${CMAKE_SOURCE_DIR}/resources/desktop/${QV_APP_ID}.desktop)
add_test(NAME metainfo_is_valid
  COMMAND ${QV_APPSTREAMCLI} validate --no-net ${CMAKE_SOURCE_DIR}/resources/desktop/${QV_APP_ID}.metainfo.xml)
