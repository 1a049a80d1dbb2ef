# Installs the build into an empty prefix and checks the tree a desktop
# expects: programs, template, desktop entry, MIME types, icons, AppStream
# file, udev rule and man pages; the desktop entry and the AppStream file
# must pass their validators.
# cmake -DBUILD=<build folder> -DPREFIX=<empty folder> -DDATA_FROM_PROGRAM=<rel>
#       -DVERSION=<x.y.z> -P check_install.cmake
set(id com.corvane.helmwise)
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix ${PREFIX}
                OUTPUT_QUIET RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "cmake --install failed")
endif()

set(expected
  bin/helmwise bin/helmwise-cli bin/tidelex-sim
  share/applications/${id}.desktop
  share/metainfo/${id}.metainfo.xml
  share/mime/packages/${id}.xml
  share/icons/hicolor/scalable/apps/${id}.svg
  share/icons/hicolor/48x48/apps/${id}.png
  share/icons/hicolor/256x256/apps/${id}.png
  lib/udev/rules.d/60-tidelex-programming-module.rules
  share/man/man1/helmwise.1.gz share/man/man1/helmwise-cli.1.gz share/man/man1/tidelex-sim.1.gz
  share/doc/helmwise/copyright share/doc/helmwise/changelog.gz)
foreach(file IN LISTS expected)
  if(NOT EXISTS ${PREFIX}/${file})
    list(APPEND missing ${file})
  endif()
endforeach()
# The editor looks for its template this way from its own folder.
if(NOT EXISTS ${PREFIX}/bin/${DATA_FROM_PROGRAM}/default.TWZ)
  list(APPEND missing "bin/${DATA_FROM_PROGRAM}/default.TWZ")
endif()
if(missing)
  message(FATAL_ERROR "Not installed: ${missing}")
endif()

# The module's serial port goes to the user logged in at the seat (uaccess)
# and to the dialout group.
file(STRINGS ${PREFIX}/lib/udev/rules.d/60-tidelex-programming-module.rules tty_rule
     REGEX "^SUBSYSTEM==\"tty\"")
if(NOT tty_rule MATCHES "TAG\\+=\"uaccess\"" OR NOT tty_rule MATCHES "GROUP=\"dialout\"")
  message(FATAL_ERROR "The udev rule does not give the port to the seat's user and dialout: "
                      "${tty_rule}")
endif()

execute_process(COMMAND ${PREFIX}/bin/helmwise-cli --version OUTPUT_VARIABLE out)
if(NOT out MATCHES "${VERSION}")
  message(FATAL_ERROR "The installed helmwise-cli --version says: ${out}")
endif()

foreach(size 48 256)
  file(READ ${PREFIX}/share/icons/hicolor/${size}x${size}/apps/${id}.png header LIMIT 24 HEX)
  # PNG signature and IHDR chunk; width at bytes 16..19.
  string(SUBSTRING "${header}" 32 8 width)
  math(EXPR width "0x${width}")
  if(NOT width EQUAL size)
    message(FATAL_ERROR "The ${size} px icon is ${width} px wide")
  endif()
endforeach()

find_program(desktop_file_validate desktop-file-validate)
find_program(appstreamcli appstreamcli)
find_program(update_mime_database update-mime-database)
if(NOT desktop_file_validate OR NOT appstreamcli OR NOT update_mime_database)
  message(FATAL_ERROR "A validator is not installed "
                      "(desktop-file-utils, appstream, shared-mime-info): skipped")
endif()
foreach(check
    "${desktop_file_validate};${PREFIX}/share/applications/${id}.desktop"
    "${appstreamcli};validate;--no-net;--pedantic;${PREFIX}/share/metainfo/${id}.metainfo.xml"
    # Told that the prefix is a data folder, it has nothing to say but errors.
    "${CMAKE_COMMAND};-E;env;XDG_DATA_DIRS=${PREFIX}/share;${update_mime_database};${PREFIX}/share/mime")
  execute_process(COMMAND ${check} RESULT_VARIABLE failed OUTPUT_VARIABLE out ERROR_VARIABLE out)
  # Silence, or appstreamcli's success line alone: hints and pedantic notes fail too.
  string(REGEX REPLACE "^[^\n]*Validation was successful\\.\n$" "" remarks "${out}")
  if(failed OR NOT remarks STREQUAL "")
    message(FATAL_ERROR "Not valid: ${check}\n${out}")
  endif()
  message("${check}: ${out}")
endforeach()
foreach(type x-tidelex-configuration x-tidelex-dos-configuration)
  if(NOT EXISTS ${PREFIX}/share/mime/application/${type}.xml)
    message(FATAL_ERROR "The MIME database does not know application/${type}")
  endif()
endforeach()
