# The Debian package, built from this tree and played as an installed copy.
# It packages the Release build: the sanitizer build leaves it out.
if(TARGET quorvel AND NOT QUORVEL_SANITIZE)
  add_test(NAME package.installed-game
    COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/installed-game.sh ${CMAKE_BINARY_DIR} ${PROJECT_VERSION} ${QV_APP_ID})
  set_tests_properties(package.installed-game PROPERTIES TIMEOUT 300 RUN_SERIAL TRUE)
endif()
