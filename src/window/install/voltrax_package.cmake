# The Debian package, built by CPack (`cmake --build build --target package`):
# voltrax_<version>_amd64.deb with the program folder in /usr/lib/voltrax/, the command
# in /usr/games/, the desktop entry, icons, AppStream entry, manual page and copyright
# file under /usr/share/, and dependencies from the program's shared libraries plus the
# SoundFont and the font. Include at the end of the top-level CMakeLists.txt.

# Debian keeps games' commands in /usr/games; a `cmake --install` elsewhere uses bin/.
install(PROGRAMS ${CMAKE_SOURCE_DIR}/src/window/install/voltrax.sh DESTINATION games RENAME voltrax
  COMPONENT debian EXCLUDE_FROM_ALL)
install(FILES ${CMAKE_SOURCE_DIR}/src/window/install/copyright DESTINATION share/doc/voltrax
  COMPONENT debian EXCLUDE_FROM_ALL)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME voltrax)
set(CPACK_PACKAGE_VENDOR "The VOLTRAX developers")
set(CPACK_PACKAGE_CONTACT "The VOLTRAX developers <voltrax@users.noreply.github.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "two-player table game: guard your goal with two paddles")
set(CPACK_PACKAGE_DESCRIPTION
  "Each player guards a goal at one end of a long table with a long back paddle and a short front paddle worked by one pair of keys, like the two ends of a lever. One player against the computer or two at one keyboard, five stages, items that bend the rules for a while.")
# One package per group takes each package's text from its own variable, first line
# first; without the common summary CPack prepends nothing to the lobby's.
set(CPACK_DEBIAN_GAME_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION_SUMMARY}\n${CPACK_PACKAGE_DESCRIPTION}")
unset(CPACK_PACKAGE_DESCRIPTION_SUMMARY)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
# Everything the plain install puts in place except its bin/ command, plus the Debian parts;
# the lobby's `server` component is a package of its own (server/voltrax_server.cmake).
set(CPACK_COMPONENTS_ALL voltrax debian server)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ONE_PER_GROUP)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_NAME voltrax)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://voltrax.github.io/)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "timgm6mb-soundfont, fonts-ipafont-gothic, fonts-dejavu-core")
# Qt's own dialog texts in Japanese (without them those stay English), and Qt's Wayland
# platform, so that the game runs natively on a Wayland desktop (without it, through
# XWayland).
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, qt6-wayland")
# Directories the package shares with the system stay root's, with the usual modes.
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
