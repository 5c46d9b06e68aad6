# The Debian package: everything `cmake --install` puts under /usr, its dependencies computed by
# dpkg-shlibdeps from the programs' own libraries.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME brantel)
set(CPACK_PACKAGE_VENDOR "The Brantel developers")
set(CPACK_PACKAGE_CONTACT "The Brantel developers <brantel@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "serial-line command protocol tester")
set(CPACK_PACKAGE_DESCRIPTION_FILE ${CMAKE_CURRENT_LIST_DIR}/description.txt)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
    GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/deb)
include(CPack)
