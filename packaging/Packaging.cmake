# Installation into a prefix and the Debian package.
#
# The program directory <prefix>/lib/velmorafree holds everything the programs load from their
# own folder (they find it through /proc/self/exe, so the links in <prefix>/bin lead there).
include(GNUInstallDirs)

set(VELMORA_INSTALL_PROGRAM_DIR ${CMAKE_INSTALL_LIBDIR}/velmorafree)
if(CMAKE_INSTALL_LIBDIR MATCHES "^lib/")
  # Debian's multiarch library folder is for shared libraries of the system, not for a program.
  set(VELMORA_INSTALL_PROGRAM_DIR lib/velmorafree)
endif()

install(TARGETS VelmoraFree velmora-cli velmora-sim
  RUNTIME DESTINATION ${VELMORA_INSTALL_PROGRAM_DIR})
install(TARGETS PortHub RobotCatalog KinetaLib
  LIBRARY DESTINATION ${VELMORA_INSTALL_PROGRAM_DIR} NAMELINK_SKIP)
install(FILES ${VELMORA_PROGRAM_DIR}/langresFree.rcc ${VELMORA_PROGRAM_DIR}/system.dat
  DESTINATION ${VELMORA_INSTALL_PROGRAM_DIR})

# <prefix>/bin: relative links, so that the installed tree can be moved as a whole.
foreach(program VelmoraFree velmora-cli velmora-sim)
  install(CODE "
    set(link \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/${program}\")
    file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
    file(REMOVE \"\${link}\")
    file(CREATE_LINK \"../${VELMORA_INSTALL_PROGRAM_DIR}/${program}\" \"\${link}\" SYMBOLIC)
    message(STATUS \"Installing: \${link}\")")
endforeach()

set(VELMORA_APP_ID io.velmorafree.VelmoraFree)
set(packaging ${CMAKE_CURRENT_LIST_DIR})
install(FILES ${packaging}/${VELMORA_APP_ID}.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${packaging}/${VELMORA_APP_ID}.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size 16 22 24 32 48 64 128 256)
  install(FILES ${packaging}/icons/velmorafree-${size}.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
    RENAME ${VELMORA_APP_ID}.png)
endforeach()
install(FILES ${packaging}/icons/velmorafree.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps RENAME ${VELMORA_APP_ID}.svg)
install(FILES ${packaging}/velmora-cli.bash
  DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME velmora-cli)

# Debian wants manual pages and change logs compressed, reproducibly.
find_program(GZIP_PROGRAM gzip REQUIRED)
set(packaging_out ${CMAKE_BINARY_DIR}/packaging)
set(manual_pages velmora-cli.1 VelmoraFree.1 velmora-sim.1)
set(compressed)
foreach(page ${manual_pages} changelog)
  add_custom_command(
    OUTPUT ${packaging_out}/${page}.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${packaging_out}
    COMMAND ${GZIP_PROGRAM} -9nc ${packaging}/${page} > ${packaging_out}/${page}.gz
    DEPENDS ${packaging}/${page}
    VERBATIM)
  list(APPEND compressed ${packaging_out}/${page}.gz)
endforeach()
add_custom_target(packaging_docs ALL DEPENDS ${compressed})
foreach(page ${manual_pages})
  install(FILES ${packaging_out}/${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
set(docdir ${CMAKE_INSTALL_DATADIR}/doc/velmorafree)
install(FILES ${packaging}/copyright DESTINATION ${docdir})
install(FILES ${packaging_out}/changelog.gz DESTINATION ${docdir})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velmorafree)
set(CPACK_PACKAGE_VENDOR "VelmoraFree developers")
set(CPACK_PACKAGE_CONTACT "VelmoraFree developers <maintainers@velmorafree.io>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "back up, restore and set up single-axis robot controllers on a serial line")
set(CPACK_PACKAGE_DESCRIPTION
  "With VelmoraFree a maintenance engineer connects a PC to a serial line of up to
16 single-axis robot controllers and backs up a controller's whole data to a
file, restores a file into a controller (writing only what differs and reading
every write back), saves its alarm history, and composes a robot's initial
data from a robot catalog. velmora-cli runs the same workflows without a
display; velmora-sim simulates a line of controllers.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The private libraries in the program directory are found through the programs' run path.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_INSTALL_PREFIX}/${VELMORA_INSTALL_PROGRAM_DIR})
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://velmorafree.io/")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
