# What "cmake --install" puts in place, and the Debian package "cpack -G DEB" makes of it: the
# two programs, the Python module, the desktop entry that opens .zaz files in zoduz, the record file type, the
# icons, the udev rule that gives the seat's user the analyzer, the Wireshark dissector of the
# pcapng export, and the documentation.
include(GNUInstallDirs)
# Documentation under the package's name, as Debian has it (not the project's "Zoduz").
set(ZODUZ_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/zoduz)

set(ZODUZ_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)
# Icon sizes rendered from the scalable icon (packaging/icons/hicolor/NxN/apps/zoduz.png).
set(ZODUZ_ICON_SIZES 16 24 32 48 64 128 256)
# udev reads packaged rules from lib/udev/rules.d below the prefix (/usr/lib/udev/rules.d).
set(ZODUZ_UDEV_RULES_DIR lib/udev/rules.d CACHE STRING
    "Folder, relative to the prefix, for the analyzer's udev rule")
# Wireshark loads Lua dissectors from its global plugin folder, lib/<multiarch>/wireshark/plugins
# below /usr on Debian ("tshark -G folders": "Global Lua Plugins").
if(CMAKE_LIBRARY_ARCHITECTURE)
    set(zoduz_wireshark_default lib/${CMAKE_LIBRARY_ARCHITECTURE}/wireshark/plugins)
else()
    set(zoduz_wireshark_default lib/wireshark/plugins)
endif()
set(ZODUZ_WIRESHARK_PLUGIN_DIR ${zoduz_wireshark_default} CACHE STRING
    "Folder, relative to the prefix, for the zoduz_pd Wireshark dissector")

if(ZODUZ_BUILD_GUI)
    install(TARGETS zoduz RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
install(TARGETS zoduz-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(ZODUZ_PYTHON_MODULE)
    install(TARGETS zoduz_python LIBRARY DESTINATION ${ZODUZ_PYTHON_INSTALL_DIR})
endif()

install(FILES ${ZODUZ_PACKAGING_DIR}/desktop/com.dazerav.Zoduz.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${ZODUZ_PACKAGING_DIR}/mime/zoduz.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
install(FILES ${PROJECT_SOURCE_DIR}/src/app/icons/zoduz.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size IN LISTS ZODUZ_ICON_SIZES)
    install(FILES ${ZODUZ_PACKAGING_DIR}/icons/hicolor/${size}x${size}/apps/zoduz.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES ${ZODUZ_PACKAGING_DIR}/udev/60-zoduz.rules DESTINATION ${ZODUZ_UDEV_RULES_DIR})
install(FILES ${ZODUZ_PACKAGING_DIR}/wireshark/zoduz_pd.lua
        DESTINATION ${ZODUZ_WIRESHARK_PLUGIN_DIR})
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${ZODUZ_DOC_DIR})
# The README's links into docs/ keep working in the installed copy.
file(GLOB ZODUZ_DOCS CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/docs/*.md
     ${PROJECT_SOURCE_DIR}/docs/*.png)
install(FILES ${ZODUZ_DOCS} DESTINATION ${ZODUZ_DOC_DIR}/docs)
file(GLOB ZODUZ_DOC_IMAGES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/docs/images/*.png)
install(FILES ${ZODUZ_DOC_IMAGES} DESTINATION ${ZODUZ_DOC_DIR}/docs/images)

# Debian package. The library dependencies come from dpkg-shlibdeps on the installed programs.
set(CPACK_PACKAGE_NAME zoduz)
set(CPACK_PACKAGE_VENDOR "Dazerav Inc.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "USB Type-C power analyzer: capture and USB PD decoding")
set(CPACK_PACKAGE_DESCRIPTION
    "Zoduz records the stream of the Zoduz USB Type-C power analyzer into .zaz record files and \
decodes every USB Power Delivery message from the CC edge timings: a message list with field \
breakdown, a voltage, current and power graph with markers and energy measurement, find and \
display filters, CSV export and stitching of record files, and a pcapng export with a Wireshark \
dissector. zoduz-cli gives the same decoding on the command line, and a running zoduz can be \
driven over D-Bus.")
set(CPACK_PACKAGE_CONTACT "Zoduz developers <zoduz@dazerav.com>")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Zoduz developers <zoduz@dazerav.com>")
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The package carries the programs without their debugging information.
set(CPACK_STRIP_FILES ON)
# Loaded at run time, so invisible to dpkg-shlibdeps: the SVG image plugin draws every icon.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6")
# The desktop integration and remote control work with these, the programs without them.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "shared-mime-info, desktop-file-utils, dbus-user-session | dbus-x11")
if(ZODUZ_PYTHON_MODULE)
    # The Python module loads only into the interpreter version it was built for; its sample
    # array needs NumPy.
    math(EXPR ZODUZ_PYTHON_NEXT_MINOR "${Python_VERSION_MINOR} + 1")
    string(APPEND CPACK_DEBIAN_PACKAGE_RECOMMENDS
           ", python3 (>= ${Python_VERSION_MAJOR}.${Python_VERSION_MINOR})"
           ", python3 (<< ${Python_VERSION_MAJOR}.${ZODUZ_PYTHON_NEXT_MINOR}), python3-numpy")
endif()
# The pcapng export is read with Wireshark, which loads the installed dissector.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "wireshark | tshark")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_GENERATOR DEB)
include(CPack)
