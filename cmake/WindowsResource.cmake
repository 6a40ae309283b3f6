# The Windows resource of a program: the icon (the umbrella of ui/AppIcon.cpp, drawn at 16 to
# 128 pixels into src/app/windows/vocabrella.ico) and the version. Does nothing elsewhere.
function(vocabrella_windows_resource target description)
  if(NOT WIN32)
    return()
  endif()
  set(VOCABRELLA_ICON "${PROJECT_SOURCE_DIR}/src/app/windows/vocabrella.ico")
  set(VOCABRELLA_DESCRIPTION "${description}")
  set(VOCABRELLA_PROGRAM "${target}")
  set(rc "${CMAKE_CURRENT_BINARY_DIR}/${target}.rc")
  configure_file("${PROJECT_SOURCE_DIR}/src/app/windows/program.rc.in" "${rc}" @ONLY)
  target_sources(${target} PRIVATE "${rc}")
endfunction()
