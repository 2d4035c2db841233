# What `make install` and the packages put where.
# Debian's place for a package's documents, whatever the project is called.
set(CMAKE_INSTALL_DOCDIR share/doc/tarnwick)
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(TARNWICK_APP_ID io.github.tarnwick.Tarnwick)
set(resources ${CMAKE_SOURCE_DIR}/app/resources)

# The cipher for programs that link the four functions: the static library,
# its header, a CMake package (Tarnwick::cipher) and a pkg-config file.
set_target_properties(tarnwick_cipher PROPERTIES EXPORT_NAME cipher
                      PUBLIC_HEADER "${CMAKE_SOURCE_DIR}/cipher/openssl.h;${CMAKE_SOURCE_DIR}/cipher/md5.h")
target_include_directories(tarnwick_cipher INTERFACE $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}/tarnwick>)
install(TARGETS tarnwick_cipher tarnwick_warnings EXPORT TarnwickTargets
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
        PUBLIC_HEADER DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/tarnwick)
install(EXPORT TarnwickTargets NAMESPACE Tarnwick:: DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/Tarnwick)
configure_package_config_file(${CMAKE_SOURCE_DIR}/cmake/TarnwickConfig.cmake.in
                              ${CMAKE_BINARY_DIR}/TarnwickConfig.cmake
                              INSTALL_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/Tarnwick)
write_basic_package_version_file(${CMAKE_BINARY_DIR}/TarnwickConfigVersion.cmake COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/TarnwickConfig.cmake ${CMAKE_BINARY_DIR}/TarnwickConfigVersion.cmake
        DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/Tarnwick)

if(WIN32)
  # The Windows zip: the program, its import library, the cipher header, the README.
  install(TARGETS tarnwick RUNTIME DESTINATION . ARCHIVE DESTINATION .)
  install(FILES ${CMAKE_SOURCE_DIR}/README.md ${CMAKE_SOURCE_DIR}/LICENSE DESTINATION .)
  return()
endif()

configure_file(${CMAKE_SOURCE_DIR}/cmake/tarnwick-cipher.pc.in ${CMAKE_BINARY_DIR}/tarnwick-cipher.pc @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/tarnwick-cipher.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

install(TARGETS tarnwick tarnwick-check tarnwick-cipher RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# The desktop: launcher, icons, AppStream data.
install(FILES ${resources}/${TARNWICK_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${resources}/${TARNWICK_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(DIRECTORY ${resources}/icons/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)

# Manual pages, from each program's own --help.
find_program(HELP2MAN help2man REQUIRED)
foreach(entry "tarnwick|check a regular expression while you type"
              "tarnwick-check|evaluate a regular expression against a text as the Tarnwick window does"
              "tarnwick-cipher|the Tarnwick string cipher on the command line")
  string(REPLACE "|" ";" entry "${entry}")
  list(GET entry 0 program)
  list(GET entry 1 summary)
  set(page ${CMAKE_BINARY_DIR}/man/${program}.1.gz)
  add_custom_command(OUTPUT ${page}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
    COMMAND ${HELP2MAN} --no-info --no-discard-stderr --section=1 --version-string=${PROJECT_VERSION}
            --name=${summary} --output=${CMAKE_BINARY_DIR}/man/${program}.1 $<TARGET_FILE:${program}>
    COMMAND gzip -n -9 -f ${CMAKE_BINARY_DIR}/man/${program}.1
    DEPENDS ${program} VERBATIM)
  list(APPEND man_pages ${page})
  install(FILES ${page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
add_custom_target(man_pages ALL DEPENDS ${man_pages})

# The documents, with the copyright and changelog where Debian looks for them.
set(changelog ${CMAKE_BINARY_DIR}/changelog.gz)
add_custom_command(OUTPUT ${changelog}
  COMMAND gzip -n -9 -c ${CMAKE_SOURCE_DIR}/cmake/changelog > ${changelog}
  DEPENDS ${CMAKE_SOURCE_DIR}/cmake/changelog VERBATIM)
add_custom_target(changelog ALL DEPENDS ${changelog})
install(FILES ${CMAKE_SOURCE_DIR}/README.md ${CMAKE_SOURCE_DIR}/LICENSE ${changelog} DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${CMAKE_SOURCE_DIR}/cmake/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})
