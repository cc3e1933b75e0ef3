# End-to-end tests on a real X server: each script starts its own Xvfb (and
# openbox), runs a copy of the game and drives it with XTEST key presses and
# clicks. A missing tool fails them.
qv_display_tests(x11 kana-keyboard window-manager failed-save session-end)

# A play the real game kept under load verifies on both drivers and plays
# again in a watch window: the game, the native driver and the web build's.
if(TARGET quorvel AND TARGET quorvel-replay)
  add_test(NAME x11.recorded-play
    COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/recorded-play.sh $<TARGET_FILE:quorvel> $<TARGET_FILE:quorvel-replay>
            ${CMAKE_SOURCE_DIR}/build/web/tools/replay/quorvel-replay.js)
  set_tests_properties(x11.recorded-play PROPERTIES TIMEOUT 240 RUN_SERIAL TRUE)
endif()
