# Install rules of the program folder: <prefix>/lib/voltrax/ holds the program beside
# dat/, design/ and the help texts, as it expects to find them. Include this file after
# the voltrax executable target has been defined.
if(TARGET voltrax)
  set(VOLTRAX_INSTALL_DIR lib/voltrax)
  install(TARGETS voltrax RUNTIME DESTINATION ${VOLTRAX_INSTALL_DIR})
  # The online module, loaded from beside the program (platform/online_module.h).
  install(TARGETS voltrax_ice LIBRARY DESTINATION ${VOLTRAX_INSTALL_DIR})
  # The settings file of a development run is the developer's, not the player's.
  install(DIRECTORY ${VOLTRAX_PROGRAM_DIR}/dat DESTINATION ${VOLTRAX_INSTALL_DIR}
    REGEX "/[Ss][Yy][Ss][Dd][Aa][Tt][Aa]\\.[Rr][Nn][Dd]$" EXCLUDE)
  install(DIRECTORY ${VOLTRAX_PROGRAM_DIR}/design DESTINATION ${VOLTRAX_INSTALL_DIR} OPTIONAL)
  install(FILES "${VOLTRAX_PROGRAM_DIR}/read me.txt" "${VOLTRAX_PROGRAM_DIR}/read me.en.txt"
    DESTINATION ${VOLTRAX_INSTALL_DIR} OPTIONAL)
endif()
