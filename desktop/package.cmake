# The Debian package (scripts/package): everything the install rules place, under /usr.
# Depends: the shared libraries the programs link (found by dpkg-shlibdeps), plus what Qt and
# the viewers load at run time without linking it.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vyne-browser)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "VYNE Browser team <vyne-browser@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "reader for book libraries")
set(CPACK_PACKAGE_DESCRIPTION "VYNE Browser reads book libraries: single files holding a tree of
classes and the documents filed in them, shown each in the viewer for its kind (text, web
pages, pictures and slide shows, PDF, audio and video, Office documents). vlib makes, fills,
checks and converts libraries from the command line.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION text)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "qt6-qpa-plugins, qt6-image-formats-plugins, libqt6webenginecore6-bin, fonts-noto-cjk, gstreamer1.0-plugins-base, gstreamer1.0-plugins-good, gstreamer1.0-libav, xdg-utils, shared-mime-info")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
  "libreoffice-writer-nogui | libreoffice-writer, libreoffice-calc-nogui | libreoffice-calc, libreoffice-impress-nogui | libreoffice-impress, qt6-wayland")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "bash-completion")
include(CPack)
