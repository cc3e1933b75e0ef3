# Every tests/replay/*.scn is an end-to-end test: quorvel-replay plays it
# headless under virtual time and fails on the first expectation that does
# not hold. Each script gets a scratch directory of its own as OUTDIR.
if(TARGET quorvel-replay)
  file(GLOB QV_REPLAY_SCRIPTS CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/*.scn)
  foreach(script IN LISTS QV_REPLAY_SCRIPTS)
    get_filename_component(name "${script}" NAME_WE)
    set(out "${CMAKE_CURRENT_BINARY_DIR}/replay/${name}")
    add_test(NAME replay.${name}
      COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
              ${CMAKE_CURRENT_LIST_DIR}/run-script.sh $<TARGET_FILE:quorvel-replay> ${script} ${out})
  endforeach()
endif()

# The screenshot tour must keep playing to its end.
if(TARGET quorvel-replay)
  add_test(NAME replay.screenshot_tour
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
            ${CMAKE_CURRENT_LIST_DIR}/run-script.sh $<TARGET_FILE:quorvel-replay>
            ${CMAKE_SOURCE_DIR}/docs/screenshots/tour.scn ${CMAKE_CURRENT_BINARY_DIR}/replay/screenshot_tour)
endif()

# The web build's driver (preset `web`, built by ./test before this pass)
# must play every script as this one does. Without it the test fails.
if(TARGET quorvel-replay AND NOT QUORVEL_SANITIZE)
  set(QUORVEL_WEB_REPLAY ${CMAKE_SOURCE_DIR}/build/web/tools/replay/quorvel-replay.js
    CACHE FILEPATH "The web build's replay driver, compared with the native one")
  add_test(NAME replay.web-matches-native
    COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/web-matches-native.sh $<TARGET_FILE:quorvel-replay>
            ${QUORVEL_WEB_REPLAY} ${CMAKE_SOURCE_DIR} ${CMAKE_CURRENT_BINARY_DIR}/replay/web-matches-native)
  set_tests_properties(replay.web-matches-native PROPERTIES TIMEOUT 300)
endif()
