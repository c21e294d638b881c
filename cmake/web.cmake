# The web build: emscripten's own SDL 1.2 (with SDL_image through the browser's decoders and
# SDL_mixer), its fixed-function GL emulation with web/gl filling the calls it lacks, and the
# page from web/page. Build with tools/web/build-release.
set(ZK_TESTS OFF CACHE BOOL "Build the tests" FORCE)

# Stands where pkg-config's target stands on Linux. web/gl comes first: its SDL_opengl.h
# wraps emscripten's.
add_library(web_gl STATIC web/gl/gl_web.cpp)
target_include_directories(web_gl PUBLIC web/gl ${EMSCRIPTEN_SYSROOT}/include/SDL)
target_compile_options(web_gl PUBLIC -sUSE_SDL=1)

add_library(PkgConfig::SDL INTERFACE IMPORTED)
target_link_libraries(PkgConfig::SDL INTERFACE web_gl)
add_library(OpenGL::GL INTERFACE IMPORTED)

set(ZK_WEB_PAGE ${CMAKE_SOURCE_DIR}/web/page)
# The page's calls into the game: every EMSCRIPTEN_KEEPALIVE function of src/app/page_web.cpp.
set(ZK_WEB_EXPORTS_FILE ${CMAKE_SOURCE_DIR}/src/app/page_web.cpp)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${ZK_WEB_EXPORTS_FILE})
file(STRINGS ${ZK_WEB_EXPORTS_FILE} ZK_WEB_EXPORT_LINES REGEX "^extern \"C\" EMSCRIPTEN_KEEPALIVE")
set(ZK_WEB_EXPORTS _main)
foreach(line ${ZK_WEB_EXPORT_LINES})
  string(REGEX MATCH "(zk_[a-z_]+)\\(" name "${line}")
  list(APPEND ZK_WEB_EXPORTS _${CMAKE_MATCH_1})
endforeach()
list(JOIN ZK_WEB_EXPORTS "," ZK_WEB_EXPORTS)
set(ZK_WEB_LINK_OPTIONS
  -sUSE_SDL=1 -sLEGACY_GL_EMULATION=1 -sALLOW_MEMORY_GROWTH=1 -sASYNCIFY -sASYNCIFY_STACK_SIZE=65536
  -sMINIFY_HTML=0 -sEXPORTED_FUNCTIONS=${ZK_WEB_EXPORTS} -sEXPORTED_RUNTIME_METHODS=ccall
  -lidbfs.js --use-preload-plugins
  "SHELL:--preload-file ${CMAKE_BINARY_DIR}/data@/data"
  # The page's starting settings: a window, since the page has its own full-screen button and
  # a game in "full screen" would make all its pictures anew after every pause.
  "SHELL:--preload-file ${ZK_WEB_PAGE}/config.txt@/config.txt"
  "SHELL:--shell-file ${ZK_WEB_PAGE}/shell.html"
  "SHELL:--pre-js ${ZK_WEB_PAGE}/pre.js"
  "SHELL:--pre-js ${ZK_WEB_PAGE}/upload.js"
  "SHELL:--pre-js ${ZK_WEB_PAGE}/leaderboard.js")
