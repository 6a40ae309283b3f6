# The window for Windows: a Qt built for Windows (scripts/windows-qt.sh) is passed in
# CMAKE_PREFIX_PATH, with QT_HOST_PATH=/usr and
# QT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake for the host tools. It lies outside
# the cross compiler's root, so its folders become roots of the search too.
if(WIN32 AND CMAKE_CROSSCOMPILING)
  foreach(prefix IN LISTS CMAKE_PREFIX_PATH)
    if(NOT prefix IN_LIST CMAKE_FIND_ROOT_PATH)
      list(APPEND CMAKE_FIND_ROOT_PATH "${prefix}")
    endif()
  endforeach()
endif()
