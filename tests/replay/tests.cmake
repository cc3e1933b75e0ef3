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
