# What a program built for Windows needs beside it to start: the Qt DLLs it links, the Windows
# platform plugin (platforms/qwindows.dll) and style, and the compiler's runtime DLLs that Qt's
# DLLs were linked against. Copied after each build; the packages install the same files.

# The compiler's runtime DLLs, as the compiler knows them.
function(vocabrella_mingw_runtime_dlls out)
  set(dlls)
  foreach(name libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${name}
                    OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT IS_ABSOLUTE "${path}" OR NOT EXISTS "${path}")
      # libwinpthread lives with the target's libraries, not the compiler's.
      find_file(path_${name} ${name} PATHS /usr/${CMAKE_LIBRARY_ARCHITECTURE}/lib
                /usr/x86_64-w64-mingw32/lib NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
      set(path "${path_${name}}")
    endif()
    if(path AND EXISTS "${path}")
      list(APPEND dlls "${path}")
    endif()
  endforeach()
  set(${out} ${dlls} PARENT_SCOPE)
endfunction()

# The Qt DLLs of these Qt modules (Core, Gui, Widgets ...), and the plugins the window needs.
function(vocabrella_qt_runtime out_dlls out_platforms out_styles)
  set(dlls)
  foreach(module ${ARGN})
    if(TARGET Qt6::${module})
      list(APPEND dlls "$<TARGET_FILE:Qt6::${module}>")
    endif()
  endforeach()
  set(platforms)
  if(TARGET Qt6::QWindowsIntegrationPlugin)
    list(APPEND platforms "$<TARGET_FILE:Qt6::QWindowsIntegrationPlugin>")
  endif()
  if(TARGET Qt6::QOffscreenIntegrationPlugin)
    list(APPEND platforms "$<TARGET_FILE:Qt6::QOffscreenIntegrationPlugin>")
  endif()
  set(styles)
  if(TARGET Qt6::QWindowsVistaStylePlugin)
    list(APPEND styles "$<TARGET_FILE:Qt6::QWindowsVistaStylePlugin>")
  endif()
  set(${out_dlls} ${dlls} PARENT_SCOPE)
  set(${out_platforms} ${platforms} PARENT_SCOPE)
  set(${out_styles} ${styles} PARENT_SCOPE)
endfunction()

# A target that copies the runtime of these Qt modules into a folder.
function(vocabrella_windows_runtime name folder)
  vocabrella_mingw_runtime_dlls(mingw)
  vocabrella_qt_runtime(qt platforms styles ${ARGN})
  set(commands COMMAND ${CMAKE_COMMAND} -E make_directory "${folder}/platforms" "${folder}/styles")
  if(mingw OR qt)
    list(APPEND commands COMMAND ${CMAKE_COMMAND} -E copy_if_different ${mingw} ${qt} "${folder}/")
  endif()
  if(platforms)
    list(APPEND commands COMMAND ${CMAKE_COMMAND} -E copy_if_different ${platforms} "${folder}/platforms/")
  endif()
  if(styles)
    list(APPEND commands COMMAND ${CMAKE_COMMAND} -E copy_if_different ${styles} "${folder}/styles/")
  endif()
  add_custom_target(${name} ALL ${commands} VERBATIM)
  set_property(GLOBAL APPEND PROPERTY VOCABRELLA_MINGW_RUNTIME ${mingw})
endfunction()
