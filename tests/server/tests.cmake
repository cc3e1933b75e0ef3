# The ranking server against a real PostgreSQL the tests start themselves
# (initdb and pg_ctl, as the postgres user when run as root), with plays
# made on the real game by quorvel-server-testplays.
if(TARGET quorvel-server)
  add_executable(quorvel-server-testplays ${CMAKE_CURRENT_LIST_DIR}/MakePlays.cpp)
  target_link_libraries(quorvel-server-testplays PRIVATE qv_playgame qv_test_support)
  set_target_properties(quorvel-server-testplays PROPERTIES AUTOMOC OFF)
endif()

# server.api: every call and refusal; server.migrations: the schema from
# empty and from each earlier version; server.durability: SIGKILL while 50
# clients send, and PostgreSQL stopped for 10 s while clients send and read.
foreach(script IN ITEMS api migrations durability)
  if(TARGET quorvel-server)
    add_test(NAME server.${script}
      COMMAND python3 ${CMAKE_CURRENT_LIST_DIR}/${script}.py
        $<TARGET_FILE:quorvel-server> $<TARGET_FILE:quorvel-server-testplays>)
    set_tests_properties(server.${script} PROPERTIES TIMEOUT 180)
  endif()
endforeach()
