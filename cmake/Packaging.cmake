# Packages made by CPack from the install rules: a Debian package on Linux.
set(CPACK_PACKAGE_NAME "vocabrella")
set(CPACK_PACKAGE_VENDOR "Vocabrella")
set(CPACK_PACKAGE_CONTACT "Vocabrella developers <dev@vocabrella.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Editor for the custom voice commands of Dragon speech users")
set(CPACK_PACKAGE_DESCRIPTION "Vocabrella reads a Dragon speech user's command file into its own store, shows every
command by program, scope, group and view, and creates, edits, renames, clones, deletes, finds,
prints, exports and converts commands, writing each change straight into the file.")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_FILE_NAME "vocabrella-${PROJECT_VERSION}-${CMAKE_SYSTEM_NAME}")
set(CPACK_STRIP_FILES ON)

if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
  set(CPACK_GENERATOR "DEB")
  set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
  set(CPACK_DEBIAN_PACKAGE_SECTION "utils")
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
endif()

include(CPack)
