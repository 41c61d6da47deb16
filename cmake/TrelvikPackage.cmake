# The Debian package: cpack -G DEB, or scripts/build-deb; on Windows, the
# zip: cpack --preset windows.

# A maintainer address on the maker's own domain, from the site setting.
string(REGEX REPLACE "^https?://(www\\.)?" "" _trelvik_mail_domain "${TRELVIK_SITE_ADDRESS}")

set(CPACK_PACKAGE_NAME trelvik)
set(CPACK_PACKAGE_VENDOR Qinvo)
set(CPACK_PACKAGE_CONTACT "Qinvo <trelvik@${_trelvik_mail_domain}>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "megabytes to enter so a partition shows as whole gigabytes")
# Lines kept short for package managers that show it as it is.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "Trelvik工具 tells you how many megabytes to enter in a partitioning tool so"
  "that the finished partition is shown as exactly the number of gigabytes you"
  "want, for FAT32 and for NTFS. The interface is in Simplified Chinese."
  "trelvik-calc does the same on the command line, for scripts.")
set(CPACK_PACKAGE_HOMEPAGE_URL "${TRELVIK_SITE_ADDRESS}")
set(CPACK_STRIP_FILES ON)

if(WIN32)
  # trelvik-1.2.0-win64.zip: the program's folder, to unpack anywhere.
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME trelvik-${PROJECT_VERSION}-win64)
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
  include(CPack)
  return()
endif()

set(CPACK_PACKAGING_INSTALL_PREFIX /usr)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Beyond the libraries found above: Qt loads its X11 platform plugin and its
# own Chinese texts at run time, so the linker cannot see that it needs them.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-cjk | fonts-wqy-microhei")

include(CPack)
