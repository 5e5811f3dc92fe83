# Installation layout and the Debian package.
#
#   <prefix>/bin                       TvrKitvane, kitvane-cli
#   <prefix>/share/kitvane             the companion files (pictures, help, notes, conditions of use)
#   <prefix>/share/applications        the desktop entry
#   <prefix>/share/icons/hicolor       the application icon at 48, 128 and 256 pixels
#   <prefix>/share/metainfo            the AppStream description
#
# The executables find their companion files beside themselves (a build
# folder) or through the path from bin/ to share/kitvane, never through an
# absolute path: a package may be unpacked anywhere.

include(GNUInstallDirs)

set(KITVANE_APP_ID "com.talvorin.kitvane")
set(KITVANE_DATA_DESTINATION "${CMAKE_INSTALL_DATADIR}/kitvane")

file(RELATIVE_PATH KITVANE_COMPANION_DIR_FROM_BIN
    "${CMAKE_INSTALL_FULL_BINDIR}" "${CMAKE_INSTALL_FULL_DATADIR}/kitvane")
# Only the lookup needs it: no other file is rebuilt when the layout changes.
set_property(SOURCE "${CMAKE_SOURCE_DIR}/app/shellfunctions.cpp" TARGET_DIRECTORY kitvane_core
    APPEND PROPERTY COMPILE_DEFINITIONS "KITVANE_COMPANION_DIR_FROM_BIN=\"${KITVANE_COMPANION_DIR_FROM_BIN}\"")

install(TARGETS TvrKitvane kitvane-cli RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}")

set(companions "")
foreach(name IN LISTS KITVANE_COMPANION_NAMES)
    list(APPEND companions "${CMAKE_BINARY_DIR}/${name}")
endforeach()
install(FILES ${companions} DESTINATION "${KITVANE_DATA_DESTINATION}")

foreach(size IN LISTS KITVANE_ICON_SIZES)
    install(FILES "${CMAKE_BINARY_DIR}/hicolor/${size}x${size}/apps/kitvane.png"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps")
endforeach()

install(FILES "${CMAKE_SOURCE_DIR}/res/desktop/${KITVANE_APP_ID}.desktop"
    DESTINATION "${CMAKE_INSTALL_DATADIR}/applications")
install(FILES "${CMAKE_SOURCE_DIR}/res/desktop/${KITVANE_APP_ID}.metainfo.xml"
    DESTINATION "${CMAKE_INSTALL_DATADIR}/metainfo")

# The Debian package: `cmake --build build --target package` (or cpack in
# the build folder) writes kitvane_<version>_<architecture>.deb.
set(KITVANE_PACKAGE_MAINTAINER "Talvorin <kitvane@talvorin.com>"
    CACHE STRING "Maintainer field of the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kitvane)
set(CPACK_PACKAGE_VENDOR Talvorin)
set(CPACK_PACKAGE_VERSION "${KITVANE_PRODUCT_VERSION}")
set(CPACK_PACKAGE_CONTACT "${KITVANE_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "compare JD Edwards EnterpriseOne databases through ODBC, read-only")
# Debian wraps the long description in lines of at most 80 characters.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Kitvane is a tool set for the database administrators of JD Edwards\n"
    "EnterpriseOne installations. It reaches the databases only through ODBC\n"
    "data sources, opens them read-only and runs nothing but catalog calls and\n"
    "SELECT statements.\n"
    ".\n"
    "It compares two environments (tables and fields, or the JDE data\n"
    "dictionaries) with filterable results that export to semicolon-separated\n"
    "files, writes the UPDATE statements of a decimal-places change into a text\n"
    "file without executing them, and writes the row count and last-update date\n"
    "of every table. TvrKitvane is the desktop program; kitvane-cli runs the same\n"
    "work without a window. French and English interface.")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)

set(CPACK_DEBIAN_PACKAGE_NAME kitvane)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${KITVANE_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION database)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.talvorin.com/")
# The driver manager's installer library and Qt's platform plugins are
# loaded at run time, so no linker records them; the dialogs are laid out
# in DejaVu Sans.
# dpkg-shlibdeps adds the linked libraries with their versions (the driver
# manager, Qt, the C and C++ runtimes); without it they are named here.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libodbcinst2, qt6-qpa-plugins, fonts-dejavu-core")
find_program(KITVANE_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(KITVANE_DPKG_SHLIBDEPS)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
else()
    string(PREPEND CPACK_DEBIAN_PACKAGE_DEPENDS "libodbc2, libqt6widgets6, ")
endif()
# The ODBC drivers of the engines the tool knows, and the opener of its
# documents and exports.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "odbc-postgresql, odbc-mariadb, libsqliteodbc, xdg-utils")

include(CPack)
