# A man page must name every option and command its program's --help lists;
# a command's own options belong in the command's section (".SS command")
# or in a part of the page that belongs to no command.
# cmake -DPROGRAM=<program> -DPAGE=<man page> -P check_manpage.cmake

# The options (-x, --name) a text mentions, without duplicates.
function(options_in text out)
  string(REGEX MATCHALL "(^|[ (|,])(--[a-zA-Z][a-zA-Z0-9-]*|-[a-zA-Z][), |\n])" found "${text}")
  set(options "")
  foreach(item IN LISTS found)
    string(REGEX REPLACE "^[ (|,]" "" item "${item}")
    string(REGEX REPLACE "[), |\n]$" "" item "${item}")
    list(APPEND options "${item}")
  endforeach()
  list(REMOVE_DUPLICATES options)
  set(${out} "${options}" PARENT_SCOPE)
endfunction()

function(mentions text word out)
  if(text MATCHES "(^|[^a-zA-Z0-9-])${word}([^a-zA-Z0-9-]|$)")
    set(${out} TRUE PARENT_SCOPE)
  else()
    set(${out} FALSE PARENT_SCOPE)
  endif()
endfunction()

execute_process(COMMAND ${PROGRAM} --help RESULT_VARIABLE failed OUTPUT_VARIABLE help
                TIMEOUT 30)
if(failed)
  message(FATAL_ERROR "${PROGRAM} --help failed: ${failed}")
endif()
file(READ ${PAGE} page)

# Square brackets and semicolons would upset CMake's lists: round brackets
# and commas stand in for them.
macro(plain var)
  string(REPLACE "[" "(" ${var} "${${var}}")
  string(REPLACE "]" ")" ${var} "${${var}}")
  string(REPLACE ";" "," ${var} "${${var}}")
endmacro()
plain(help)
plain(page)

# The page as text: roff's \- is a hyphen, font changes are dropped.
string(REPLACE "\\-" "-" page "${page}")
string(REGEX REPLACE "\\\\f[BIRP]" "" page "${page}")
# Sections of commands (".SS name ...") apart from the rest of the page.
string(REGEX REPLACE "\n\\.S[SH] " "\n.SECTION " marked "${page}")
string(REPLACE "\n.SECTION " ";" sections "${marked}")

# Lines of the help under "Commands:" name a command each; the rest is the
# program's own usage and options.
string(REGEX MATCH "\nCommands:\n(  [^\n]*\n)+" commands "${help}")
string(REPLACE "${commands}" "\n" own "${help}")
string(REGEX MATCHALL "\n  [^\n]*" command_lines "${commands}")

set(missing "")
options_in("${own}" own_options)
foreach(option IN LISTS own_options)
  mentions("${page}" "${option}" found)
  if(NOT found)
    list(APPEND missing "${option}")
  endif()
endforeach()

foreach(line IN LISTS command_lines)
  string(REGEX MATCH "[a-z][a-z0-9-]*" command "${line}")
  execute_process(COMMAND ${PROGRAM} ${command} --help OUTPUT_VARIABLE usage ERROR_VARIABLE usage
                  TIMEOUT 30)
  plain(usage)
  options_in("${line}\n${usage}" command_options)
  list(REMOVE_ITEM command_options -h --help --help-all)
  # Its own section, and every section that is no command's.
  set(where "")
  set(has_section FALSE)
  foreach(section IN LISTS sections)
    string(REGEX MATCH "^[^ \n]*" first "${section}")
    set(is_command FALSE)
    foreach(other IN LISTS command_lines)
      string(REGEX MATCH "[a-z][a-z0-9-]*" other "${other}")
      if(first STREQUAL other)
        set(is_command TRUE)
      endif()
    endforeach()
    if(first STREQUAL command)
      set(has_section TRUE)
    endif()
    if(first STREQUAL command OR NOT is_command)
      string(APPEND where "\n${section}")
    endif()
  endforeach()
  if(NOT has_section)
    list(APPEND missing "${command} (no section \".SS ${command}\")")
  endif()
  foreach(option IN LISTS command_options)
    mentions("${where}" "${option}" found)
    if(NOT found)
      list(APPEND missing "${command} ${option}")
    endif()
  endforeach()
endforeach()

if(missing)
  list(JOIN missing ", " missing)
  message(FATAL_ERROR "${PAGE} does not mention what --help lists: ${missing}")
endif()
