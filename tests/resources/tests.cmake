# The picture tests also drive the artwork generator; the desktop entry is
# checked by the freedesktop validator.
if(TARGET test_resources AND TARGET qv_artgen)
  target_link_libraries(test_resources PRIVATE qv_artgen)
endif()

find_program(QV_DESKTOP_FILE_VALIDATE desktop-file-validate)
if(QV_DESKTOP_FILE_VALIDATE)
  add_test(NAME desktop_entry_is_valid
    COMMAND ${QV_DESKTOP_FILE_VALIDATE} ${CMAKE_SOURCE_DIR}/resources/desktop/quorvel.desktop)
endif()
