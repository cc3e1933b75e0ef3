# The records in a web page: the records file in the browser's storage and
# its export and import. The part without a browser builds everywhere, so
# its tests run natively.
add_library(qv_webrecords_core STATIC
  ${CMAKE_CURRENT_LIST_DIR}/StoredBytes.cpp ${CMAKE_CURRENT_LIST_DIR}/StoredBytes.h
  ${CMAKE_CURRENT_LIST_DIR}/BrowserRecordStorage.cpp ${CMAKE_CURRENT_LIST_DIR}/BrowserRecordStorage.h
  ${CMAKE_CURRENT_LIST_DIR}/RecordTransfer.cpp ${CMAKE_CURRENT_LIST_DIR}/RecordTransfer.h
  ${CMAKE_CURRENT_LIST_DIR}/PageLanguage.cpp ${CMAKE_CURRENT_LIST_DIR}/PageLanguage.h)
target_link_libraries(qv_webrecords_core PUBLIC qv_core)

if(NOT EMSCRIPTEN)
  return()
endif()

add_library(qv_webrecords STATIC
  ${CMAKE_CURRENT_LIST_DIR}/BrowserRecords.cpp ${CMAKE_CURRENT_LIST_DIR}/BrowserRecords.h)
target_link_libraries(qv_webrecords PUBLIC qv_webrecords_core qv_webhost qv_front)

# The site is installable and plays offline: a web app manifest with the
# game's icon, and a service worker that keeps every file of the site.
set(QV_SITE_SOURCE ${CMAKE_CURRENT_LIST_DIR}/site)
set(QV_WEB_ICONS ${PROJECT_SOURCE_DIR}/resources/web/icons)
file(GLOB QV_WEB_ICON_FILES CONFIGURE_DEPENDS ${QV_WEB_ICONS}/*.png)
set(qv_offline_outputs)
foreach(source IN ITEMS ${QV_SITE_SOURCE}/manifest.webmanifest ${QV_SITE_SOURCE}/config.json)
  get_filename_component(name ${source} NAME)
  add_custom_command(OUTPUT ${QV_WEB_SITE_DIR}/${name}
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${source} ${QV_WEB_SITE_DIR}/${name}
    DEPENDS ${source} VERBATIM)
  list(APPEND qv_offline_outputs ${QV_WEB_SITE_DIR}/${name})
endforeach()
foreach(icon IN LISTS QV_WEB_ICON_FILES)
  get_filename_component(name ${icon} NAME)
  add_custom_command(OUTPUT ${QV_WEB_SITE_DIR}/icons/${name}
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${icon} ${QV_WEB_SITE_DIR}/icons/${name}
    DEPENDS ${icon} VERBATIM)
  list(APPEND qv_offline_outputs ${QV_WEB_SITE_DIR}/icons/${name})
endforeach()
add_custom_target(qv_site_install_files ALL DEPENDS ${qv_offline_outputs})

# sw.js lists every file of the site with a hash of their contents, so it
# runs after every other target has put its files there, and every build.
add_custom_target(qv_site_service_worker ALL
  COMMAND ${CMAKE_COMMAND} -DSITE_DIR=${QV_WEB_SITE_DIR} -DTEMPLATE=${QV_SITE_SOURCE}/sw.js.in
          -P ${CMAKE_CURRENT_LIST_DIR}/ServiceWorker.cmake
  COMMENT "Listing the site's files for its service worker" VERBATIM)

function(qv_targets_below dir out)
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(subdir IN LISTS subdirs)
    qv_targets_below(${subdir} below)
    list(APPEND targets ${below})
  endforeach()
  set(${out} ${targets} PARENT_SCOPE)
endfunction()

function(qv_service_worker_after_everything)
  qv_targets_below(${PROJECT_SOURCE_DIR} targets)
  list(REMOVE_ITEM targets qv_site_service_worker)
  add_dependencies(qv_site_service_worker ${targets})
endfunction()
cmake_language(DEFER DIRECTORY ${PROJECT_SOURCE_DIR} CALL qv_service_worker_after_everything)
