# Which folder belongs to which library, in one place for the game build and the fuzz
# build. Sources are picked by folder, so a new file lands in its layer's library
# without touching this list; tests/layering_test.cpp keeps the include directions.
#
#   platform  src/platform           stand-ins for the OS and outside libraries
#   core      src/core               what every subsystem shares
#   simulation src/stage, puck, paddles, sim (the match step: no drawing, sound or clock)
#   subsystems src/sound, draw
#   flow      src/match, src/net (network play; the only ENet), src/net/lobby's texts,
#             src/frontend
#   online    src/net/lobby/lobby_client.cpp (the only libstrophe) and src/net/ice (online
#             play's paths: libnice, NAT-PMP, UPnP): the online module, a back-end
#   shell     src/window, help, about, main.cpp (the only Qt)
#
# Set VOLTRAX_SOURCE_ROOT to the repository root before including.

file(GLOB VOLTRAX_PLATFORM_SOURCES CONFIGURE_DEPENDS ${VOLTRAX_SOURCE_ROOT}/src/platform/*.cpp)

set(VOLTRAX_GAME_FOLDERS core stage puck paddles sim sound draw match net net/lobby frontend)
set(VOLTRAX_GAME_SOURCES)
foreach(folder IN LISTS VOLTRAX_GAME_FOLDERS)
  file(GLOB folder_sources CONFIGURE_DEPENDS ${VOLTRAX_SOURCE_ROOT}/src/${folder}/*.cpp)
  list(APPEND VOLTRAX_GAME_SOURCES ${folder_sources})
endforeach()

# The online module: everything that needs libstrophe, libnice, GLib, NAT-PMP or UPnP.
file(GLOB VOLTRAX_ICE_SOURCES CONFIGURE_DEPENDS ${VOLTRAX_SOURCE_ROOT}/src/net/ice/*.cpp)
set(VOLTRAX_LOBBY_CLIENT_SOURCES ${VOLTRAX_SOURCE_ROOT}/src/net/lobby/lobby_client.cpp)
list(REMOVE_ITEM VOLTRAX_GAME_SOURCES ${VOLTRAX_LOBBY_CLIENT_SOURCES})
set(VOLTRAX_ONLINE_SOURCES ${VOLTRAX_LOBBY_CLIENT_SOURCES} ${VOLTRAX_ICE_SOURCES})

file(GLOB VOLTRAX_SHELL_SOURCES CONFIGURE_DEPENDS
  ${VOLTRAX_SOURCE_ROOT}/src/window/*.cpp ${VOLTRAX_SOURCE_ROOT}/src/help/*.cpp
  ${VOLTRAX_SOURCE_ROOT}/src/about/*.cpp)
