# `make package`: a Debian package on Linux, a zip from the Windows cross build.
set(CPACK_PACKAGE_NAME tarnwick)
set(CPACK_PACKAGE_VENDOR "the Tarnwick authors")
set(CPACK_PACKAGE_CONTACT "the Tarnwick authors <tarnwick@users.noreply.github.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "check a regular expression against Japanese text while you type")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME tarnwick-${PROJECT_VERSION}-windows-x86_64)
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION devel)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  string(JOIN "\n" CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Tarnwick has three boxes: Expression, Text and Result. On every change the"
    "lines of the text are joined, the expression (ECMAScript grammar) is matched"
    "against the whole joined text, and Result lists the match and each capture"
    "group, one line per group. The text is Japanese, code page 932. The package"
    "also holds the command-line programs tarnwick-check and tarnwick-cipher, and"
    "the static cipher library with its CMake package and pkg-config file.")
endif()
include(CPack)
