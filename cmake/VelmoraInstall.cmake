# Installation and the Debian package.
#   cmake --install build --prefix /some/prefix
#   (cd build && cpack)          -> build/velmora_<version>_<arch>.deb
# Layout under the prefix: bin/velmora; share/velmora/lang (language
# modules) and share/velmora/manuals (user manuals), which the program finds
# from its own place as ../share/velmora; the desktop entry, the icon and
# the AppStream metainfo where desktops look for them; the udev rule in
# lib/udev/rules.d, where udev reads the rules of packages.
set(VELMORA_APP_ID "fi.velmora.Velmora")
set(_dist ${PROJECT_SOURCE_DIR}/dist)

if(TARGET velmora)
  install(TARGETS velmora RUNTIME DESTINATION bin)
endif()
install(FILES ${PROJECT_SOURCE_DIR}/resources/lang/fi.txt ${PROJECT_SOURCE_DIR}/resources/lang/en.txt
        DESTINATION share/velmora/lang)
if(VELMORA_MANUAL_PDFS)
  install(FILES ${VELMORA_MANUAL_PDFS} DESTINATION share/velmora/manuals)
endif()
install(FILES ${_dist}/${VELMORA_APP_ID}.desktop DESTINATION share/applications)
install(FILES ${_dist}/icons/${VELMORA_APP_ID}.svg DESTINATION share/icons/hicolor/scalable/apps)
install(FILES ${_dist}/${VELMORA_APP_ID}.metainfo.xml DESTINATION share/metainfo)
install(FILES ${_dist}/udev/70-velmora-reminder.rules DESTINATION lib/udev/rules.d)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velmora)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Velmora")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "desktop companion of the Velmora USB medication reminder")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
  "Keeps users, their medication alarms and acknowledgement history in a local SQLite file, "
  "programs the alarm times into the Velmora reminder over USB, reads its log back, writes "
  "reports and backs the database up to the Velmora service.")
set(VELMORA_PACKAGE_MAINTAINER "Velmora developers <velmora@example.invalid>"
    CACHE STRING "Maintainer field of the Debian package")
set(CPACK_PACKAGE_CONTACT "${VELMORA_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
# The shared libraries' packages come from dpkg-shlibdeps; Qt's platform
# plugins and the program's font are loaded at run time, so they are named.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-dejavu-core")
# Reports and the manual open in the desktop's viewer through xdg-open.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${_dist}/debian/postinst)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# Only what is installed above; the tests and tools stay out.
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};${PROJECT_NAME};ALL;/")
include(CPack)
