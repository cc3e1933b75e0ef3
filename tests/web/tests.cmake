# End-to-end tests of the web build in Debian's headless Chromium, driven by
# playwright-core (tests/web/package-lock.json; ./test installs it). They
# serve build/web/site, which the web preset builds, and compare the records
# the page exports with what the native replay driver saves, and the page's
# canvases with the pictures that driver draws, so they run in
# the Release pass only. A missing browser, package or site fails them.
if(TARGET quorvel-replay AND NOT QUORVEL_SANITIZE)
  foreach(name road records offline drawing storage start host results page plays)
    add_test(NAME web.${name}
      COMMAND node --test --test-reporter=spec ${CMAKE_CURRENT_LIST_DIR}/${name}.test.mjs)
    set_tests_properties(web.${name} PROPERTIES
      ENVIRONMENT "QUORVEL_WEB_SITE=${CMAKE_SOURCE_DIR}/build/web/site;QUORVEL_REPLAY=$<TARGET_FILE:quorvel-replay>"
      TIMEOUT 240 RUN_SERIAL TRUE)
  endforeach()
endif()

# The world ranking from the page, against the release build's quorvel-server
# over a private PostgreSQL the test starts (support/ranking_server.py).
if(TARGET quorvel-replay AND TARGET quorvel-server AND NOT QUORVEL_SANITIZE)
  add_test(NAME web.ranking
    COMMAND node --test --test-reporter=spec ${CMAKE_CURRENT_LIST_DIR}/ranking.test.mjs)
  set_tests_properties(web.ranking PROPERTIES
    ENVIRONMENT "QUORVEL_WEB_SITE=${CMAKE_SOURCE_DIR}/build/web/site;QUORVEL_REPLAY=$<TARGET_FILE:quorvel-replay>;QUORVEL_SERVER=$<TARGET_FILE:quorvel-server>;QUORVEL_SERVER_TESTPLAYS=$<TARGET_FILE:quorvel-server-testplays>"
    TIMEOUT 240 RUN_SERIAL TRUE)
endif()
