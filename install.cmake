# What an installation holds, and the Debian package made of it:
#   bin/pellavio
#   share/pellavio/shaders/*.glsl and share/pellavio/data/ (the demo room)
#   share/applications, share/icons, share/metainfo, share/man/man1
# The program finds share/pellavio relative to its own folder, so an
# installation can be moved (dpkg -x, cmake --install --prefix).

install(TARGETS pellavio RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PELLAVIO_SHADERS} DESTINATION ${CMAKE_INSTALL_DATADIR}/pellavio/shaders)
install(DIRECTORY data/ DESTINATION ${CMAKE_INSTALL_DATADIR}/pellavio/data)
install(FILES resources/pellavio.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES resources/pellavio.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps)
install(FILES resources/org.pellavio.Pellavio.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# Man pages are installed compressed, as Debian's tools expect.
set(PELLAVIO_MAN_PAGE ${CMAKE_CURRENT_BINARY_DIR}/pellavio.1.gz)
add_custom_command(OUTPUT ${PELLAVIO_MAN_PAGE}
  COMMAND gzip -9n -c ${CMAKE_CURRENT_SOURCE_DIR}/docs/pellavio.1 > ${PELLAVIO_MAN_PAGE}
  DEPENDS docs/pellavio.1
  COMMENT "Compressing the man page")
add_custom_target(pellavio_man_page ALL DEPENDS ${PELLAVIO_MAN_PAGE})
install(FILES ${PELLAVIO_MAN_PAGE} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pellavio)
set(CPACK_PACKAGE_VENDOR "Pellavio")
set(CPACK_PACKAGE_CONTACT "Pellavio developers <pellavio@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Museum kiosk of the painted room Vovo del Pellavio")
set(CPACK_PACKAGE_DESCRIPTION "One window holds an interactive 3D view of a painted room beside an
Italian browsing panel about the animals painted on its walls. Includes a
demo room; curators point the program at their own room with --data.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES TRUE)
# Mesa renders where the kiosk has no graphics driver of its own.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libgl1-mesa-dri")
include(CPack)
