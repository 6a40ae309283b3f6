# Packages for Windows users, made by CPack from a build for Windows (cpack in the build folder):
# a zip holding the programs, the DLLs the window needs, the Qt platform plugin and style when
# the window is built, the key names and the help pages; and an installer (NSIS) with a Start
# menu entry where makensis is present. Everything lies in one folder: the programs find their
# data beside themselves.
if(NOT WIN32)
  return()
endif()
include(${CMAKE_CURRENT_LIST_DIR}/WindowsRuntime.cmake)

install(TARGETS vocabrella-cli RUNTIME DESTINATION . COMPONENT programs)
if(TARGET vocabrella)
  include(${CMAKE_CURRENT_LIST_DIR}/WindowsQt.cmake)
  find_package(Qt6 REQUIRED COMPONENTS Widgets PrintSupport)
  install(TARGETS vocabrella RUNTIME DESTINATION . COMPONENT programs)
  vocabrella_mingw_runtime_dlls(mingw)
  vocabrella_qt_runtime(qt platforms styles Core Gui Widgets PrintSupport)
  install(FILES ${mingw} ${qt} DESTINATION . COMPONENT programs)
  install(FILES ${platforms} DESTINATION platforms COMPONENT programs)
  install(FILES ${styles} DESTINATION styles COMPONENT programs)
endif()
install(FILES data/keynames README.md DESTINATION . COMPONENT programs)
install(DIRECTORY data/help DESTINATION . COMPONENT programs)

set(CPACK_PACKAGE_NAME "Vocabrella")
set(CPACK_PACKAGE_VENDOR "Vocabrella")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Editor for the custom voice commands of Dragon speech users")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_FILE_NAME "vocabrella-${PROJECT_VERSION}-win64")
set(CPACK_PACKAGE_INSTALL_DIRECTORY "Vocabrella")
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR "ZIP")

find_program(VOCABRELLA_MAKENSIS makensis)
if(VOCABRELLA_MAKENSIS)
  list(APPEND CPACK_GENERATOR "NSIS")
  set(CPACK_NSIS_EXECUTABLE "${VOCABRELLA_MAKENSIS}")
  set(CPACK_NSIS_PACKAGE_NAME "Vocabrella ${PROJECT_VERSION}")
  set(CPACK_NSIS_DISPLAY_NAME "Vocabrella")
  set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
  set(icon "${PROJECT_SOURCE_DIR}/src/app/windows/vocabrella.ico")
  if(EXISTS "${icon}")
    set(CPACK_NSIS_MUI_ICON "${icon}")
    set(CPACK_NSIS_MUI_UNIICON "${icon}")
  endif()
  if(TARGET vocabrella)
    # The Start menu entry, and the icon shown among the installed programs.
    set(CPACK_PACKAGE_EXECUTABLES "vocabrella" "Vocabrella")
    set(CPACK_NSIS_INSTALLED_ICON_NAME "vocabrella.exe")
  else()
    # Without the window the command line's help page is what the Start menu opens.
    set(CPACK_NSIS_MENU_LINKS "help/index.html" "Vocabrella help")
  endif()
endif()

include(CPack)
