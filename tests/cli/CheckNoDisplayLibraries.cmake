# Fails when PROGRAM needs a display library, directly or through another library.
# Usage: cmake -DPROGRAM=<path> -P CheckNoDisplayLibraries.cmake
execute_process(COMMAND ldd ${PROGRAM} OUTPUT_VARIABLE needed RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "ldd ${PROGRAM} failed (${status})")
endif()
string(REGEX MATCHALL "(libQt6Widgets|libQt6Gui|libQt6UiTools|libQt6OpenGL[A-Za-z]*|libOpenGL|libGL[A-Za-z]*)\\.so[^ ]*"
       found "${needed}")
if(found)
  list(REMOVE_DUPLICATES found)
  message(FATAL_ERROR "${PROGRAM} needs display libraries: ${found}")
endif()
if(NOT needed MATCHES "libQt6Core")
  message(FATAL_ERROR "ldd ${PROGRAM} named no Qt library; the check looks at the wrong file")
endif()
