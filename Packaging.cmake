# The Debian package: `cpack -G DEB` in the build tree (scripts/package.sh wraps it).
set(CPACK_PACKAGE_NAME curvist)
set(CPACK_PACKAGE_VENDOR "Lumivo")
set(CPACK_PACKAGE_CONTACT "Curvist maintainers <maintainers@curvist.lumivo.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "plotter of functions y = f(x) with a Chinese interface")
# One string, not a list: CPack turns each line into a continuation line and each empty line
# into " .", but a list would reach the control file with ";" between its items.
file(READ ${CMAKE_CURRENT_SOURCE_DIR}/res/package/description CPACK_PACKAGE_DESCRIPTION)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS res/package/description)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION math)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://curvist.lumivo.org/")
# Libraries from what the programs really link (dpkg-shlibdeps); and what the loader never
# sees: a Chinese font, without which the interface shows no text.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-wqy-microhei | fonts-noto-cjk")
# Qt's Chinese texts for its standard dialogs (which fall back to English without them), and
# the Latin face the plane's text is drawn with where the font asked for is missing.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, fonts-liberation2")
include(CPack)
