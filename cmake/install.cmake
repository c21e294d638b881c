# Installing the game the way a Linux desktop expects it, and its Debian package.
#
# Two layouts, chosen when the project is configured:
# - system-wide (the prefixes /usr and /usr/local, and the Debian package): the program in
#   games/, its data in share/games/zembrak/data, found from the program's own folder. The
#   installed program is built for this layout: it keeps the player's settings and best score
#   only in the player's own folders, even when root plays, so nothing is ever written beside
#   it; files put in share/games/zembrak are starting values.
# - a folder of one's own (any other prefix): the program and its data/ together in
#   lib/games/zembrak, the `zembrak` command on PATH a relative link to it, the files saved
#   beside the program as in the build folder. A system-wide build installs this layout too
#   with `cmake --install <build> --component portable`, as ./play does.
# The desktop entry, icons, AppStream file, manual page and the documentation go with both.
include(GNUInstallDirs)

set(ZK_SYSTEM_INSTALL AUTO CACHE STRING
    "ON for the system-wide layout, OFF for a folder of one's own, AUTO for ON with the prefixes /usr and /usr/local")
set_property(CACHE ZK_SYSTEM_INSTALL PROPERTY STRINGS AUTO ON OFF)
if(ZK_SYSTEM_INSTALL STREQUAL "AUTO")
  if(NOT WIN32 AND NOT EMSCRIPTEN AND CMAKE_INSTALL_PREFIX MATCHES "^/usr(/local)?/*$")
    set(ZK_SYSTEM_LAYOUT ON)
  else()
    set(ZK_SYSTEM_LAYOUT OFF)
  endif()
elseif(ZK_SYSTEM_INSTALL AND NOT WIN32 AND NOT EMSCRIPTEN)
  set(ZK_SYSTEM_LAYOUT ON)
else()
  set(ZK_SYSTEM_LAYOUT OFF)
endif()

set(ZK_INSTALL_GAMEDIR "lib/games/zembrak" CACHE STRING
    "Folder for the program and its data in a folder of one's own, relative to the prefix")
set(ZK_INSTALL_SYSTEM_BINDIR "games")
set(ZK_INSTALL_SYSTEM_DATADIR "${CMAKE_INSTALL_DATADIR}/games/zembrak")
set(ZK_INSTALL_DOCDIR "${CMAKE_INSTALL_DATADIR}/doc/zembrak")
set(ZK_APP_ID "io.github.zembrak" CACHE STRING "Reverse-DNS name of the application for AppStream")
set(ZK_HOMEPAGE "https://zembrak.github.io" CACHE STRING "Home page named in the AppStream file")
set(ZK_SCREENSHOT_URL "${ZK_HOMEPAGE}/screenshots" CACHE STRING
    "Where the pictures of docs/screenshots are published, for the AppStream file")
set(ZK_MAINTAINER "Zembrak developers <zembrak@example.org>" CACHE STRING "Maintainer of the Debian package")

set(ZK_PACKAGING_OUT ${CMAKE_BINARY_DIR}/packaging)
file(MAKE_DIRECTORY ${ZK_PACKAGING_OUT})

# This version's date, its release notes for AppStream, and the Debian changelog.
set(ZK_DEBIAN_CHANGELOG ${ZK_PACKAGING_OUT}/changelog)
include(${CMAKE_CURRENT_LIST_DIR}/changelog.cmake)
add_custom_command(OUTPUT ${ZK_DEBIAN_CHANGELOG}.gz
  COMMAND gzip -9nkf ${ZK_DEBIAN_CHANGELOG}
  DEPENDS ${ZK_DEBIAN_CHANGELOG} VERBATIM)
add_custom_target(zk_changelog ALL DEPENDS ${ZK_DEBIAN_CHANGELOG}.gz)

# The licence in the machine-readable copyright format: LICENSE from its permission notice
# on, each line indented by one space, empty lines as " .".
file(READ ${CMAKE_SOURCE_DIR}/LICENSE ZK_LICENSE_TEXT)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/LICENSE)
string(FIND "${ZK_LICENSE_TEXT}" "Permission is hereby granted" start)
string(SUBSTRING "${ZK_LICENSE_TEXT}" ${start} -1 ZK_LICENSE_TEXT)
string(STRIP "${ZK_LICENSE_TEXT}" ZK_LICENSE_TEXT)
string(REGEX REPLACE "\n\n" "\n.\n" ZK_LICENSE_TEXT "${ZK_LICENSE_TEXT}")
string(REGEX REPLACE "\n" "\n " ZK_LICENSE_TEXT " ${ZK_LICENSE_TEXT}")
configure_file(${CMAKE_SOURCE_DIR}/packaging/copyright.in ${ZK_PACKAGING_OUT}/copyright @ONLY)

# A folder of one's own: the program and its data together; hiscore.txt is the player's.
if(ZK_SYSTEM_LAYOUT)
  set(ZK_PORTABLE COMPONENT portable EXCLUDE_FROM_ALL)
else()
  set(ZK_PORTABLE COMPONENT portable)
endif()
install(TARGETS zembrak RUNTIME DESTINATION ${ZK_INSTALL_GAMEDIR} ${ZK_PORTABLE})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/data/ DESTINATION ${ZK_INSTALL_GAMEDIR}/data ${ZK_PORTABLE}
        PATTERN hiscore.txt EXCLUDE PATTERN "*.tmp" EXCLUDE)
# The command: a link relative to the bin folder, so the whole tree can be moved or staged.
file(RELATIVE_PATH ZK_COMMAND_TARGET "/prefix/${CMAKE_INSTALL_BINDIR}" "/prefix/${ZK_INSTALL_GAMEDIR}/zembrak")
if(IS_ABSOLUTE "${CMAKE_INSTALL_BINDIR}" OR IS_ABSOLUTE "${ZK_INSTALL_GAMEDIR}")
  if(IS_ABSOLUTE "${ZK_INSTALL_GAMEDIR}")
    set(gamedir "${ZK_INSTALL_GAMEDIR}")
  else()
    set(gamedir "${CMAKE_INSTALL_PREFIX}/${ZK_INSTALL_GAMEDIR}")
  endif()
  file(RELATIVE_PATH ZK_COMMAND_TARGET "${CMAKE_INSTALL_FULL_BINDIR}" "${gamedir}/zembrak")
endif()
file(CREATE_LINK ${ZK_COMMAND_TARGET} ${ZK_PACKAGING_OUT}/zembrak SYMBOLIC)
install(FILES ${ZK_PACKAGING_OUT}/zembrak DESTINATION ${CMAKE_INSTALL_BINDIR} ${ZK_PORTABLE})

# System-wide: a program of its own that knows where its data is, relative to itself, so a
# staged or unpacked tree plays as well as the installed one.
if(ZK_SYSTEM_LAYOUT)
  file(RELATIVE_PATH ZK_SYSTEM_DATA_FOLDER "/prefix/${ZK_INSTALL_SYSTEM_BINDIR}" "/prefix/${ZK_INSTALL_SYSTEM_DATADIR}")
  add_executable(zembrak_system src/app/main.cpp)
  target_link_libraries(zembrak_system PRIVATE zk_core zk_engine)
  target_compile_definitions(zembrak_system PRIVATE ZK_SYSTEM_DATA_FOLDER="${ZK_SYSTEM_DATA_FOLDER}")
  set_target_properties(zembrak_system PROPERTIES OUTPUT_NAME zembrak
                        RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/system)
  install(TARGETS zembrak_system RUNTIME DESTINATION ${ZK_INSTALL_SYSTEM_BINDIR})
  install(DIRECTORY ${CMAKE_SOURCE_DIR}/data/ DESTINATION ${ZK_INSTALL_SYSTEM_DATADIR}/data
          PATTERN hiscore.txt EXCLUDE PATTERN "*.tmp" EXCLUDE)
  install(FILES ${CMAKE_SOURCE_DIR}/packaging/zembrak.lintian-overrides
          DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME zembrak)
endif()

# Desktop entry, icons, AppStream file, manual page; the licence, changelog and README.
install(FILES ${CMAKE_SOURCE_DIR}/packaging/zembrak.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
foreach(size 16 32 48 64 128 256)
  install(FILES ${CMAKE_SOURCE_DIR}/packaging/icons/zembrak-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME zembrak.png)
endforeach()
configure_file(${CMAKE_SOURCE_DIR}/packaging/zembrak.metainfo.xml.in
               ${ZK_PACKAGING_OUT}/${ZK_APP_ID}.metainfo.xml @ONLY)
install(FILES ${ZK_PACKAGING_OUT}/${ZK_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
configure_file(${CMAKE_SOURCE_DIR}/packaging/zembrak.6.in ${ZK_PACKAGING_OUT}/zembrak.6 @ONLY)
install(FILES ${ZK_PACKAGING_OUT}/zembrak.6 DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${ZK_PACKAGING_OUT}/copyright ${ZK_DEBIAN_CHANGELOG}.gz ${CMAKE_SOURCE_DIR}/README.md
        DESTINATION ${ZK_INSTALL_DOCDIR})

# Debian package: `cpack -G DEB` in a build folder with the system-wide layout.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zembrak)
set(CPACK_PACKAGE_VENDOR "Zembrak developers")
set(CPACK_PACKAGE_CONTACT "${ZK_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "arcade race across a crumbling world of floating tiles")
# Lines of the long description stay below 80 columns.
set(CPACK_PACKAGE_DESCRIPTION "Three characters race in turn from three corners of a world of 8 x 8
sectors to the goal, stepping from tile to tile over the abyss while the
tiles age, crumble and fall away. Hearts give spare lives, bonuses give
points; the best score is kept between games. Played with the arrow keys.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# Stripped as Debian strips: no symbols, no comment or note sections (cmake/deb_stage.cmake).
set(CPACK_STRIP_FILES OFF)
set(CPACK_ZK_STRIP "${CMAKE_STRIP}")
set(CPACK_ZK_SYSTEM_LAYOUT ${ZK_SYSTEM_LAYOUT})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${ZK_MAINTAINER}")
# The libraries the program links come from dpkg-shlibdeps. SDL opens libGL itself for the
# window's OpenGL context, so no link names it.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libgl1")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libgl1-mesa-dri")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${ZK_HOMEPAGE}")
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_SOURCE_DIR}/cmake/deb_stage.cmake)
include(CPack)

if(ZK_TESTS)
  enable_testing()
  add_subdirectory(tests/install)
endif()
