# `cpack -G DEB` in the build folder makes helmwise_<version>_<arch>.deb from
# the install rules; `apt install ./helmwise_*.deb` then pulls in Qt.
set(CPACK_PACKAGE_NAME helmwise)
set(CPACK_PACKAGE_VENDOR "Corvane Telecom Limited")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "configuration tool for the Tidelex Analog ship's telephone exchange")
set(CPACK_PACKAGE_DESCRIPTION [[
helmWISE builds, checks and edits the configurations of the Tidelex Analog,
a ship's analogue telephone exchange. It keeps them in .TWZ files, imports
the old DOS .TDZ files, moves them to and from the exchange through the USB
Programming Module, prints reports and exports lists.

The package holds the editor (helmwise), the command-line tool
(helmwise-cli), the exchange simulator (tidelex-sim) and a udev rule that
lets the user logged in at the computer, and the dialout group, use the
Programming Module.]])
set(HELMWISE_MAINTAINER "Corvane Telecom Limited <helmwise@corvane.com>"
    CACHE STRING "Maintainer of the Debian package")
set(CPACK_PACKAGE_CONTACT "${HELMWISE_MAINTAINER}")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION comm)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Qt and the C++ runtime come from the programs' own shared libraries.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Reports are laid out for Arial; Liberation Sans has its metrics.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS fonts-liberation)
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    ${CMAKE_CURRENT_LIST_DIR}/postinst ${CMAKE_CURRENT_LIST_DIR}/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
