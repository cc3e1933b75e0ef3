# What the drawing needs in the static site build/web/site: the game's
# pictures (the same files the desktop embeds), draw.js with their names,
# the web fonts and their licences.
set(QV_SITE_DIR ${QV_WEB_SITE_DIR})

file(GLOB QV_SITE_PICTURES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/resources/pictures/*.png)
set(qv_site_pictures)
set(qv_picture_names)
foreach(png IN LISTS QV_SITE_PICTURES)
  get_filename_component(name "${png}" NAME_WE)
  list(APPEND qv_picture_names "'${name}'")
  add_custom_command(OUTPUT ${QV_SITE_DIR}/pictures/${name}.png
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${png} ${QV_SITE_DIR}/pictures/${name}.png
    DEPENDS ${png} VERBATIM)
  list(APPEND qv_site_pictures ${QV_SITE_DIR}/pictures/${name}.png)
endforeach()

set(qv_draw_js ${CMAKE_CURRENT_LIST_DIR}/site/draw.js)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${qv_draw_js})
file(READ ${qv_draw_js} qv_draw_source)
list(JOIN qv_picture_names ", " qv_picture_list)
string(REPLACE "/*QV_PICTURES*/" "${qv_picture_list}" qv_draw_source "${qv_draw_source}")
file(CONFIGURE OUTPUT ${QV_SITE_DIR}/draw.js CONTENT "${qv_draw_source}" @ONLY)

set(qv_site_licences)
foreach(text IN ITEMS IPA-Font-License.txt Liberation-OFL.txt README.txt)
  add_custom_command(OUTPUT ${QV_SITE_DIR}/fonts/${text}
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${CMAKE_CURRENT_LIST_DIR}/site/fonts/${text} ${QV_SITE_DIR}/fonts/${text}
    DEPENDS ${CMAKE_CURRENT_LIST_DIR}/site/fonts/${text} VERBATIM)
  list(APPEND qv_site_licences ${QV_SITE_DIR}/fonts/${text})
endforeach()

add_custom_target(qv_site_drawing ALL DEPENDS ${qv_site_pictures} ${qv_site_licences})
include(${PROJECT_SOURCE_DIR}/tools/webfonts/WebFonts.cmake)
if(QV_FONTTOOLS_PROBLEM)
  message(FATAL_ERROR "The page cannot be built: ${QV_FONTTOOLS_PROBLEM}")
endif()
qv_web_fonts(qv_site_fonts ${QV_SITE_DIR}/fonts)
