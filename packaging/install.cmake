# Install rules and the Debian package: the game in <prefix>/games, its data in
# <prefix>/share/games/tumbrelt, the desktop entry and the icon where desktops look for them.
# `cmake --install build --prefix P` (DESTDIR honoured) and `cpack -G DEB` lay out the same tree.
set(TUMBRELT_DATA_DIR share/games/tumbrelt)
set(TUMBRELT_SYSTEM_FONT /usr/share/fonts/truetype/dejavu/DejaVuSansMono-Bold.ttf)

install(TARGETS tumbrelt RUNTIME DESTINATION games)
# The font is Debian's (fonts-dejavu-core), linked below rather than carried as a copy.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/assets/ DESTINATION ${TUMBRELT_DATA_DIR}/assets
  PATTERN consolab.ttf EXCLUDE)
install(FILES ${PROJECT_SOURCE_DIR}/assets/icons/tumbrelt.png DESTINATION share/icons/hicolor/256x256/apps)

# Written at install time, so that the entry names the prefix installed to (`--prefix`, or /usr
# for the package) rather than the one configured.
install(CODE "
  set(TUMBRELT_INSTALLED_PROGRAM \"\${CMAKE_INSTALL_PREFIX}/games/tumbrelt\")
  configure_file(\"${PROJECT_SOURCE_DIR}/packaging/tumbrelt.desktop.in\"
    \"${PROJECT_BINARY_DIR}/packaging/tumbrelt.desktop\" @ONLY)
  file(INSTALL \"${PROJECT_BINARY_DIR}/packaging/tumbrelt.desktop\"
    DESTINATION \"\${CMAKE_INSTALL_PREFIX}/share/applications\")
  set(font \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${TUMBRELT_DATA_DIR}/assets/consolab.ttf\")
  message(STATUS \"Installing: \${font} -> ${TUMBRELT_SYSTEM_FONT}\")
  file(CREATE_LINK \"${TUMBRELT_SYSTEM_FONT}\" \"\${font}\" SYMBOLIC)
")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tumbrelt)
set(CPACK_PACKAGE_VENDOR "Tumbrelt")
set(CPACK_PACKAGE_CONTACT "Tumbrelt maintainers <maintainers@tumbrelt.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "two-player hot-seat game of a runner and a builder")
set(CPACK_PACKAGE_DESCRIPTION
  "The Runner steers a blue block across a grid level to a green finish line; the Builder drops\n\
random obstacle blocks in its way. Turns alternate at one keyboard, or with two game controllers.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_INSTALL_PREFIX /usr)
# The install code above reads CMAKE_INSTALL_PREFIX: staged through DESTDIR, it is /usr rather than
# the staging folder.
set(CPACK_SET_DESTDIR ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
# dpkg-shlibdeps finds the libraries the program links (SFML, X11, the C++ runtime) with the
# versions they need; the font is not linked, so it is named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-dejavu-core")
include(CPack)
