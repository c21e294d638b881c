# The Windows build: SDL 1.2, SDL_mixer 1.2 and libjpeg as DLLs from ZK_WINDOWS_DEPS (made by
# tools/windows/build-deps), and IMG_Load from third_party/img_lite linked into the program. The
# entry glue is ours (src/platform/entry_windows.cpp), not SDL's: SDL's spells the program's
# folder in the ANSI code page.
set(ZK_WINDOWS_DEPS "" CACHE PATH "Prefix holding the Windows builds of SDL, SDL_mixer and libjpeg")
if(NOT EXISTS "${ZK_WINDOWS_DEPS}/include/SDL/SDL.h")
  message(FATAL_ERROR "ZK_WINDOWS_DEPS must name the prefix that tools/windows/build-deps prints")
endif()
enable_language(C)
# The tests run on Linux; the Windows program is tested under Wine from its archive.
set(ZK_TESTS OFF CACHE BOOL "Build the tests" FORCE)

add_library(img_lite STATIC third_party/img_lite/img_lite.c)
target_include_directories(img_lite PUBLIC third_party/img_lite ${ZK_WINDOWS_DEPS}/include/SDL
                                           ${ZK_WINDOWS_DEPS}/include)

# Stands where pkg-config's target stands on Linux. The order matters to the linker: the
# runtime's start-up code first, then what it calls.
add_library(PkgConfig::SDL INTERFACE IMPORTED)
target_include_directories(PkgConfig::SDL INTERFACE ${ZK_WINDOWS_DEPS}/include/SDL ${ZK_WINDOWS_DEPS}/include
                                                    third_party/img_lite)
target_link_directories(PkgConfig::SDL INTERFACE ${ZK_WINDOWS_DEPS}/lib)
target_link_libraries(PkgConfig::SDL INTERFACE mingw32 img_lite SDL_mixer SDL jpeg
                                               user32 gdi32 winmm shell32)
# A program without a console; the C and C++ runtimes inside it, so only SDL's, SDL_mixer's
# and the codecs' DLLs ship beside it.
target_link_options(PkgConfig::SDL INTERFACE -mwindows -static-libgcc -static-libstdc++)

find_package(OpenGL REQUIRED)

# The program's resources: the icon made from the project's icon pictures (the 256 px one kept
# as PNG), the manifest and the version information, with the version from project().
enable_language(RC)
find_program(ZK_ICOTOOL icotool REQUIRED)
set(ZK_ICON_DIR ${CMAKE_SOURCE_DIR}/packaging/icons)
set(ZK_RC_ICON ${CMAKE_BINARY_DIR}/zembrak.ico)
set(ZK_RC_MANIFEST ${CMAKE_BINARY_DIR}/zembrak.manifest)
add_custom_command(OUTPUT ${ZK_RC_ICON}
  COMMAND ${ZK_ICOTOOL} -c -o ${ZK_RC_ICON} ${ZK_ICON_DIR}/zembrak-16.png ${ZK_ICON_DIR}/zembrak-32.png
          ${ZK_ICON_DIR}/zembrak-48.png ${ZK_ICON_DIR}/zembrak-64.png ${ZK_ICON_DIR}/zembrak-128.png
          -r ${ZK_ICON_DIR}/zembrak-256.png
  DEPENDS ${ZK_ICON_DIR}/zembrak-16.png ${ZK_ICON_DIR}/zembrak-32.png ${ZK_ICON_DIR}/zembrak-48.png
          ${ZK_ICON_DIR}/zembrak-64.png ${ZK_ICON_DIR}/zembrak-128.png ${ZK_ICON_DIR}/zembrak-256.png
  VERBATIM)
configure_file(packaging/windows/zembrak.manifest.in ${ZK_RC_MANIFEST} @ONLY)
configure_file(packaging/windows/zembrak.rc.in ${CMAKE_BINARY_DIR}/zembrak.rc @ONLY)
set_source_files_properties(${CMAKE_BINARY_DIR}/zembrak.rc PROPERTIES
  OBJECT_DEPENDS "${ZK_RC_ICON};${ZK_RC_MANIFEST}")
set(ZK_WINDOWS_RESOURCES ${CMAKE_BINARY_DIR}/zembrak.rc ${ZK_RC_ICON})
