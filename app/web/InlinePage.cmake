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

string(REGEX MATCHALL "<script src=\"[^\"]+\" data-inline></script>" scripts "${page}")
foreach(tag IN LISTS scripts)
  string(REGEX REPLACE "^<script src=\"([^\"]+)\".*" "\\1" name "${tag}")
  qv_inlined_text(${name} text)
  string(REPLACE "${tag}" "<script>\n/* ${name} */\n${text}</script>" page "${page}")
endforeach()

string(REGEX MATCHALL "<link rel=\"stylesheet\" href=\"[^\"]+\" data-inline>" sheets "${page}")
foreach(tag IN LISTS sheets)
  string(REGEX REPLACE "^<link rel=\"stylesheet\" href=\"([^\"]+)\".*" "\\1" name "${tag}")
  qv_inlined_text(${name} text)
  string(REPLACE "${tag}" "<style>\n/* ${name} */\n${text}</style>" page "${page}")
endforeach()

file(WRITE ${OUTPUT} "${page}")
