# End-to-end tests on a real Wayland compositor: weston nested in a private
# Xvfb (tests/x11/xsession.sh --weston), the game as its client, natively or
# through XWayland. A missing tool fails them.
if(TARGET quorvel)
  foreach(script native-road xwayland-session xcb-without-x)
    add_test(NAME wayland.${script}
      COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/${script}.sh $<TARGET_FILE:quorvel>)
    set_tests_properties(wayland.${script} PROPERTIES
      TIMEOUT 150
      RUN_SERIAL TRUE)
  endforeach()
endif()
