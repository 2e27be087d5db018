# Installs the program with its menu entry, icon and AppStream data, and packs it as a .deb.
include(GNUInstallDirs)
set(VEIDORA_APP_ID example.veidora.Veidora)

install(TARGETS veidora RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(VEIDORA_AUTO_PLACE)
  # The face finder and dlib with it, loaded when a face is first looked for; private to the
  # program, so not on the library path.
  install(TARGETS veidora_face_finder_module LIBRARY DESTINATION lib/veidora)
endif()
if(VEIDORA_AUTO_PLACE_SIDE)
  # The profile finder and OpenCV with it, loaded when a profile is first looked for; the
  # package's dependency on OpenCV's libraries comes from this module through shlibdeps.
  install(TARGETS veidora_profile_finder_module LIBRARY DESTINATION lib/veidora)
endif()
install(FILES ${CMAKE_CURRENT_LIST_DIR}/${VEIDORA_APP_ID}.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/${VEIDORA_APP_ID}.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/${VEIDORA_APP_ID}.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME veidora)
set(CPACK_PACKAGE_VENDOR "Veidoros komanda")
set(CPACK_PACKAGE_CONTACT "Veidoros komanda <info@veidora.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "veido genotipo nustatymas pagal dvi nuotraukas")
set(CPACK_PACKAGE_DESCRIPTION
  "Programa nustato genetiškai paveldėtus veido tipus pagal veido nuotraukas iš priekio ir iš šono.")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://veidora.example/")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time, so no shared-library dependency finds them: Qt's own Lithuanian texts and
# the fonts the window is laid out for (Liberation Sans Narrow is only in fonts-liberation;
# without them fontconfig falls back to the wider DejaVu Sans, which every system has); with automatic placement, dlib's landmark model. The JPEG and
# GIF decoders come with libqt6gui6 and the SVG ones with libqt6svg6, both linked.
set(_depends "libqt6svg6, qt6-translations-l10n, fonts-liberation, fonts-liberation2")
if(VEIDORA_AUTO_PLACE)
  string(APPEND _depends ", libdlib-data")
endif()
set(CPACK_DEBIAN_PACKAGE_DEPENDS "${_depends}")
# No ldconfig in maintainer scripts: the modules are not on the library path.
set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/drop_ldconfig.cmake)
include(CPack)
