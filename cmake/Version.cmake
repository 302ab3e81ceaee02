# The build's description for the about box: the git description when there is one.
find_package(Git QUIET)
set(LUMETRA_SPECIAL_BUILD "")
if(GIT_FOUND)
  execute_process(COMMAND ${GIT_EXECUTABLE} describe --always --dirty --tags
                  WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
                  OUTPUT_VARIABLE LUMETRA_SPECIAL_BUILD
                  OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
endif()
