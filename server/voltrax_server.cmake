# The lobby's own Debian package, voltrax-server: the Prosody and coturn configuration,
# run.sh, a systemd unit and its settings file. Install rules of the `server` component;
# the game's package (src/window/install/voltrax_package.cmake) leaves them out, and this
# file's CPack settings make them a second package. Include before that file.
set(VOLTRAX_SERVER_SHARE share/voltrax-server)
install(PROGRAMS ${CMAKE_CURRENT_LIST_DIR}/run.sh DESTINATION ${VOLTRAX_SERVER_SHARE}
  COMPONENT server EXCLUDE_FROM_ALL)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/prosody.cfg.lua ${CMAKE_CURRENT_LIST_DIR}/turnserver.conf
  DESTINATION ${VOLTRAX_SERVER_SHARE} COMPONENT server EXCLUDE_FROM_ALL)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/voltrax-server.service DESTINATION lib/systemd/system
  COMPONENT server EXCLUDE_FROM_ALL)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/voltrax-server.default DESTINATION /etc/default
  RENAME voltrax-server COMPONENT server EXCLUDE_FROM_ALL)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/README DESTINATION share/doc/voltrax-server
  COMPONENT server EXCLUDE_FROM_ALL)
file(WRITE ${CMAKE_BINARY_DIR}/server/conffiles "/etc/default/voltrax-server\n")

# One package per group: the game's two components make `voltrax` as before, the server
# component makes `voltrax-server`.
set(CPACK_COMPONENT_VOLTRAX_GROUP game)
set(CPACK_COMPONENT_DEBIAN_GROUP game)
set(CPACK_COMPONENT_SERVER_GROUP server)
set(CPACK_DEBIAN_GAME_PACKAGE_NAME voltrax)
set(CPACK_DEBIAN_SERVER_PACKAGE_NAME voltrax-server)
set(CPACK_DEBIAN_SERVER_PACKAGE_ARCHITECTURE all)
set(CPACK_DEBIAN_SERVER_PACKAGE_SECTION net)
set(CPACK_DEBIAN_SERVER_PACKAGE_SHLIBDEPS OFF)
set(CPACK_DEBIAN_SERVER_PACKAGE_DEPENDS "prosody (>= 0.12), coturn, util-linux")
set(CPACK_DEBIAN_SERVER_PACKAGE_RECOMMENDS "lua-unbound")
set(CPACK_DEBIAN_SERVER_PACKAGE_CONTROL_EXTRA ${CMAKE_BINARY_DIR}/server/conffiles)
set(CPACK_DEBIAN_SERVER_DESCRIPTION
  "lobby and relay for VOLTRAX online play\nProsody (anonymous logins, rooms named by a 6-character code, a quick-match room, time-limited TURN credentials) and coturn (the TURN relay) configured for VOLTRAX, started together by one systemd unit. Set the domain and public address in /etc/default/voltrax-server.")
