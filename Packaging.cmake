# The Debian package: `cpack -G DEB` in the build tree (scripts/package.sh wraps it).
set(CPACK_PACKAGE_NAME curvist)
set(CPACK_PACKAGE_VENDOR "Lumivo")
set(CPACK_PACKAGE_CONTACT "Curvist maintainers <maintainers@curvist.lumivo.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "plotter of functions y = f(x) with a Chinese interface")
set(CPACK_PACKAGE_DESCRIPTION
    "Lumivo函数作图器 draws explicit functions of one variable on a\n"
    "coordinate plane. Functions are typed after the prompt Y= and listed in\n"
    "a panel where their colour, visibility and domain are edited. The\n"
    "package holds the desktop program curvist, the command-line plotter\n"
    "curvist-plot and the user manual.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION math)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://curvist.lumivo.org/")
# Libraries from what the programs really link (dpkg-shlibdeps); and what the loader never
# sees: Qt's Chinese texts and a Chinese font.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-translations-l10n, fonts-wqy-microhei | fonts-noto-cjk")
# The Latin face the plane's text is drawn with where the font asked for is missing.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation2")
include(CPack)
