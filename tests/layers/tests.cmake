# The layers of docs/ARCHITECTURE.md, checked on the sources' includes.
add_test(NAME layers_are_kept COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/check-layers.sh ${CMAKE_SOURCE_DIR})
