# Writes OUTPUT, the site's index.html, from the page TEMPLATE with every
# style sheet and script it marks data-inline written into the page itself;
# each is looked for in the folders SEARCH lists, the first found taken.
# A page that holds its own scripts runs them as soon as it is parsed:
# nothing waits for a request each, which the start of the game would.
file(READ ${TEMPLATE} page)

function(qv_inlined_text name out)
  foreach(folder IN LISTS SEARCH)
    if(EXISTS ${folder}/${name})
      file(READ ${folder}/${name} text)
      string(TOLOWER "${text}" lower)
      if(lower MATCHES "</(script|style)")
        message(FATAL_ERROR "${folder}/${name} cannot be put into the page: it holds a closing </script> or </style>")
      endif()
      set(${out} "${text}" PARENT_SCOPE)
      return()
    endif()
  endforeach()
  message(FATAL_ERROR "${TEMPLATE} puts ${name} into the page, but none of these folders has it: ${SEARCH}")
endfunction()

# Puts into the page, for every tag matching PATTERN (the file's name its
# first group), OPEN, the file's text and CLOSE.
function(qv_inline pattern open close)
  string(REGEX MATCHALL "${pattern}" tags "${page}")
  foreach(tag IN LISTS tags)
    string(REGEX REPLACE "${pattern}" "\\1" name "${tag}")
    qv_inlined_text(${name} text)
    string(REPLACE "${tag}" "${open}\n/* ${name} */\n${text}${close}" page "${page}")
  endforeach()
  set(page "${page}" PARENT_SCOPE)
endfunction()

qv_inline("<script src=\"([^\"]+)\" data-inline></script>" "<script>" "</script>")
qv_inline("<link rel=\"stylesheet\" href=\"([^\"]+)\" data-inline>" "<style>" "</style>")

file(WRITE ${OUTPUT} "${page}")
