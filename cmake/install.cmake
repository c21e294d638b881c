# Installing the game the way a Linux desktop expects it, and its Debian package.
#
# The game opens everything relative to its own folder, so the program and its data/ stay
# together in one folder (Debian keeps architecture-dependent game files under lib/games);
# the `zembrak` command on PATH is a relative link to it, which the game resolves to find
# that folder. Nothing the game writes is installed: a player's settings and best score
# are made at the first exit, beside the program when that folder is writable, otherwise
# in the player's own folders.
include(GNUInstallDirs)

set(ZK_INSTALL_GAMEDIR "lib/games/zembrak" CACHE STRING
    "Folder for the program and its data, relative to the prefix")
set(ZK_APP_ID "io.github.zembrak" CACHE STRING "Reverse-DNS name of the application for AppStream")
set(ZK_HOMEPAGE "https://zembrak.github.io" CACHE STRING "Home page named in the AppStream file")
set(ZK_SCREENSHOT_URL "${ZK_HOMEPAGE}/screenshots" CACHE STRING
    "Where the pictures of docs/screenshots are published, for the AppStream file")
set(ZK_MAINTAINER "Zembrak developers <zembrak@example.org>" CACHE STRING "Maintainer of the Debian package")
# The day this version was released, for the AppStream file and the manual page.
set(ZK_RELEASE_DATE "2026-12-08")

if(IS_ABSOLUTE "${ZK_INSTALL_GAMEDIR}")
  set(ZK_GAMEDIR_FULL "${ZK_INSTALL_GAMEDIR}")
else()
  set(ZK_GAMEDIR_FULL "${CMAKE_INSTALL_PREFIX}/${ZK_INSTALL_GAMEDIR}")
endif()

set(ZK_PACKAGING_OUT ${CMAKE_BINARY_DIR}/packaging)
file(MAKE_DIRECTORY ${ZK_PACKAGING_OUT})

# The program and its data; hiscore.txt is the player's, never shipped.
install(TARGETS zembrak RUNTIME DESTINATION ${ZK_INSTALL_GAMEDIR})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/data/ DESTINATION ${ZK_INSTALL_GAMEDIR}/data
        PATTERN hiscore.txt EXCLUDE PATTERN "*.tmp" EXCLUDE)

# The command: a link relative to the bin folder, so the whole tree can be moved or staged.
file(RELATIVE_PATH ZK_COMMAND_TARGET "/prefix/${CMAKE_INSTALL_BINDIR}" "/prefix/${ZK_INSTALL_GAMEDIR}/zembrak")
if(IS_ABSOLUTE "${CMAKE_INSTALL_BINDIR}" OR IS_ABSOLUTE "${ZK_INSTALL_GAMEDIR}")
  file(RELATIVE_PATH ZK_COMMAND_TARGET "${CMAKE_INSTALL_FULL_BINDIR}" "${ZK_GAMEDIR_FULL}/zembrak")
endif()
file(CREATE_LINK ${ZK_COMMAND_TARGET} ${ZK_PACKAGING_OUT}/zembrak SYMBOLIC)
install(FILES ${ZK_PACKAGING_OUT}/zembrak DESTINATION ${CMAKE_INSTALL_BINDIR})

# Desktop entry, icons, AppStream file and manual page.
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

# Debian package: `cpack -G DEB` in the build folder.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zembrak)
set(CPACK_PACKAGE_VENDOR "Zembrak developers")
set(CPACK_PACKAGE_CONTACT "${ZK_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "arcade race across a crumbling world of floating tiles")
set(CPACK_PACKAGE_DESCRIPTION "Three characters race in turn from three corners of a world of 8 x 8 \
sectors to the goal, stepping from tile to tile over the abyss while the tiles age, crumble and \
fall away. Hearts give spare lives, bonuses give points; the best score is kept between games. \
Played with the arrow keys.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${ZK_MAINTAINER}")
# SDL 1.2 comes either as the original library or as its compatibility layer over SDL 2,
# whose shim package puts it where the loader looks (and provides libsdl1.2debian);
# Ogg Vorbis music needs the mixer's codecs, which libsdl-mixer1.2 brings. SDL opens libGL
# itself for the window's context; the drawing calls come through libOpenGL.
set(ZK_DEB_DEPENDS "libsdl1.2debian (>= 1.2.15) | libsdl1.2-compat-shim, libsdl-image1.2 (>= 1.2.12)")
string(APPEND ZK_DEB_DEPENDS ", libsdl-mixer1.2 (>= 1.2.12), libgl1, libglx0, libopengl0")
# A build without optimisation links the C++ runtime too.
string(APPEND ZK_DEB_DEPENDS ", libstdc++6, libgcc-s1, libc6 (>= 2.34)")
if(XRANDR_FOUND)
  string(APPEND ZK_DEB_DEPENDS ", libx11-6, libxrandr2")
endif()
set(CPACK_DEBIAN_PACKAGE_DEPENDS "${ZK_DEB_DEPENDS}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS OFF)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libgl1-mesa-dri")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${ZK_HOMEPAGE}")
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_SOURCE_DIR}/cmake/deb_manual.cmake)
include(CPack)
