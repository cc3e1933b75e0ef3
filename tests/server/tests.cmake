# The ranking server against a real PostgreSQL the tests start themselves
# (initdb and pg_ctl, as the postgres user when run as root), with plays
# made on the real game by quorvel-server-testplays.
if(TARGET quorvel-server)
  add_executable(quorvel-server-testplays ${CMAKE_CURRENT_LIST_DIR}/MakePlays.cpp)
  target_link_libraries(quorvel-server-testplays PRIVATE qv_playgame qv_test_support)
  set_target_properties(quorvel-server-testplays PROPERTIES AUTOMOC OFF)
endif()
