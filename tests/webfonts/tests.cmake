# The web fonts hold every character the game draws: the fonts are cut here
# as the web build cuts them, and checked against the characters of the
# model's designs and tables.
include(${PROJECT_SOURCE_DIR}/tools/webfonts/WebFonts.cmake)
if(QV_FONTTOOLS_PROBLEM)
  # Without fontTools the desktop still builds; this test says what is missing.
  add_test(NAME webfonts.coverage COMMAND sh -c "echo \"$1\" >&2; exit 1" check "${QV_FONTTOOLS_PROBLEM}")
  return()
endif()
qv_web_fonts(qv_test_webfonts ${CMAKE_CURRENT_BINARY_DIR}/webfonts)
add_executable(qv_drawn_characters ${CMAKE_CURRENT_LIST_DIR}/DrawnCharacters.cpp)
target_link_libraries(qv_drawn_characters PRIVATE qv_wiring qv_test_support)
add_test(NAME webfonts.coverage
  COMMAND bash -c "set -o pipefail; \"$1\" | \"$2\" \"$3\" \"$4\"" check
    $<TARGET_FILE:qv_drawn_characters> ${QV_FONT_PYTHON} ${CMAKE_CURRENT_LIST_DIR}/check_coverage.py
    ${CMAKE_CURRENT_BINARY_DIR}/webfonts)
