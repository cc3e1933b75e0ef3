# The reliability tests: a helper program that saves records tables in a
# child process (for faults that end or limit a process), the monkey's
# replay driver, and a short run of the records-file fuzzer.
if(TARGET test_reliability)
  add_executable(quorvel-record-saver ${CMAKE_CURRENT_LIST_DIR}/saver/RecordSaver.cpp)
  target_link_libraries(quorvel-record-saver PRIVATE qv_qtrecords)
  add_dependencies(test_reliability quorvel-record-saver)
  target_compile_definitions(test_reliability PRIVATE QV_RECORD_SAVER="$<TARGET_FILE:quorvel-record-saver>")
endif()

# The fuzzer is built with clang++ into build/fuzz by the script itself; the
# sanitizer build leaves it to the ordinary one.
if(NOT QUORVEL_SANITIZE)
  add_test(NAME fuzz.records COMMAND ${CMAKE_SOURCE_DIR}/scripts/fuzz.sh 20000)
  set_tests_properties(fuzz.records PROPERTIES TIMEOUT 1200)
endif()
