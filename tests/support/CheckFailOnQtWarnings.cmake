# Fails, naming the file, for every GUI test program that does not make Qt
# warnings fail its tests (failOnQtWarnings() in its init()).
set(missing "")
foreach(source ${SOURCES})
  file(READ ${source} text)
  if(NOT text MATCHES "init\\(\\)[^}]*failOnQtWarnings\\(\\);")
    list(APPEND missing ${source})
  endif()
endforeach()
if(missing)
  list(JOIN missing "\n  " names)
  message(FATAL_ERROR "These GUI test programs let Qt warnings pass; call failOnQtWarnings() "
                      "first in init() (tests/support/FailOnQtWarnings.h):\n  ${names}")
endif()
list(LENGTH SOURCES count)
message(STATUS "${count} GUI test programs fail on Qt warnings")
