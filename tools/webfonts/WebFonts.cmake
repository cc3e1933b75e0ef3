# The page's web fonts, cut at build time from the fonts Debian installs for
# the desktop (fonts-ipafont-gothic, fonts-liberation2) by Debian's fontTools.

set(QV_WEBFONT_FILES
  WebGothic
  WebSerif-Regular WebSerif-Bold WebSerif-Italic WebSerif-BoldItalic
  WebSans-Regular WebSans-Bold WebSans-Italic WebSans-BoldItalic
  WebMono-Regular WebMono-Bold WebMono-Italic WebMono-BoldItalic)
set(QV_IPA_FONT_DIR /usr/share/fonts/opentype/ipafont-gothic)
set(QV_LIBERATION_FONT_DIR /usr/share/fonts/truetype/liberation2)

# Debian's python3, which has fontTools and brotli when python3-fonttools and
# python3-brotli are installed; another python3 earlier in PATH may not.
find_program(QV_FONT_PYTHON python3 PATHS /usr/bin NO_DEFAULT_PATH)
if(QV_FONT_PYTHON)
  execute_process(COMMAND ${QV_FONT_PYTHON} -c "import fontTools.subset, brotli"
    RESULT_VARIABLE qv_fonttools_missing OUTPUT_QUIET ERROR_QUIET)
endif()
set(QV_FONTTOOLS_PROBLEM "")
if(NOT QV_FONT_PYTHON OR qv_fonttools_missing)
  set(QV_FONTTOOLS_PROBLEM "the web fonts need /usr/bin/python3 with fontTools and brotli: install the Debian packages python3-fonttools and python3-brotli (scripts/install-deps.sh does)")
endif()

# Writes the fonts into `outdir`; `target` builds them.
function(qv_web_fonts target outdir)
  set(outputs)
  foreach(name IN LISTS QV_WEBFONT_FILES)
    list(APPEND outputs ${outdir}/${name}.woff2)
  endforeach()
  set(game_dirs core stage screens resources/designs)
  set(game_sources)
  foreach(dir IN LISTS game_dirs)
    file(GLOB_RECURSE found CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${dir}/*.cpp ${PROJECT_SOURCE_DIR}/${dir}/*.h)
    list(APPEND game_sources ${found})
  endforeach()
  list(TRANSFORM game_dirs PREPEND ${PROJECT_SOURCE_DIR}/)
  set(script ${PROJECT_SOURCE_DIR}/tools/webfonts/make_webfonts.py)
  add_custom_command(OUTPUT ${outputs}
    COMMAND ${QV_FONT_PYTHON} ${script} ${outdir} ${QV_IPA_FONT_DIR} ${QV_LIBERATION_FONT_DIR} ${game_dirs}
    DEPENDS ${script} ${game_sources} ${QV_IPA_FONT_DIR}/ipagp.ttf
    COMMENT "Cutting the web fonts"
    VERBATIM)
  add_custom_target(${target} ALL DEPENDS ${outputs})
endfunction()
