# End-to-end tests on a real X server: each script starts its own Xvfb (and
# openbox), runs a copy of the game and drives it with XTEST key presses and
# clicks. A missing tool fails them.
if(TARGET quorvel)
  foreach(script kana-keyboard window-manager)
    add_test(NAME x11.${script}
      COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/${script}.sh $<TARGET_FILE:quorvel>)
    set_tests_properties(x11.${script} PROPERTIES
      TIMEOUT 120
      RUN_SERIAL TRUE)
  endforeach()
endif()
