# Writes SITE_DIR/sw.js from TEMPLATE: the list of every other file of the
# site and one hash of their names and contents, the version of the site.
# The file is rewritten only when it changes.
file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE ${SITE_DIR} ${SITE_DIR}/*)
list(REMOVE_ITEM files sw.js)
list(SORT files)
set(listing "")
set(entries "")
foreach(file IN LISTS files)
  file(SHA256 ${SITE_DIR}/${file} digest)
  string(APPEND listing "${file} ${digest}\n")
  string(APPEND entries "  \"${file}\",\n")
endforeach()
string(SHA256 SITE_VERSION "${listing}")
string(SUBSTRING ${SITE_VERSION} 0 16 SITE_VERSION)
set(SITE_FILES "${entries}")
configure_file(${TEMPLATE} ${SITE_DIR}/sw.js @ONLY)
