# The Windows build: SDL 1.2, SDL_mixer 1.2 and libjpeg as DLLs from ZK_WINDOWS_DEPS (made by
# tools/windows/build-deps), IMG_Load from third_party/img_lite linked into the program, and
# SDL's entry glue, which calls our main and sends stdout and stderr to files beside the program.
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
# runtime's start-up code, then SDL's entry glue, then what it calls.
add_library(PkgConfig::SDL INTERFACE IMPORTED)
target_include_directories(PkgConfig::SDL INTERFACE ${ZK_WINDOWS_DEPS}/include/SDL ${ZK_WINDOWS_DEPS}/include
                                                    third_party/img_lite)
target_link_directories(PkgConfig::SDL INTERFACE ${ZK_WINDOWS_DEPS}/lib)
target_link_libraries(PkgConfig::SDL INTERFACE mingw32 SDLmain img_lite SDL_mixer SDL jpeg
                                               user32 gdi32 winmm)
# A program without a console; the C and C++ runtimes inside it, so only SDL's, SDL_mixer's
# and the codecs' DLLs ship beside it.
target_link_options(PkgConfig::SDL INTERFACE -mwindows -static-libgcc -static-libstdc++)

find_package(OpenGL REQUIRED)
