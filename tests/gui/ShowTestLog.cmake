# Runs one window test program with its log written to a file, then prints the log. Under Wine a
# Qt Test program's standard output reaches nobody, so without this a test that fails there
# would fail without a word of why.
#   cmake -DPROGRAM=... [-DEMULATOR=...] [-DARGUMENTS=a;b] -DLOG=... -P ShowTestLog.cmake
file(REMOVE "${LOG}")
execute_process(COMMAND ${EMULATOR} "${PROGRAM}" ${ARGUMENTS} -o "${LOG},txt" RESULT_VARIABLE status)
if(EXISTS "${LOG}")
  file(READ "${LOG}" text)
  message("${text}")
else()
  message("${PROGRAM} wrote no log")
endif()
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${PROGRAM} ended with ${status}")
endif()
