# Run by CPack before it packs the staged files: Debian ships manual pages compressed.
file(GLOB_RECURSE pages "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*/share/man/man6/*.6")
foreach(page ${pages})
  execute_process(COMMAND gzip -9n "${page}" RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "gzip ${page} failed")
  endif()
endforeach()
