# The AppStream metadata names the project's version as its newest release:
# cmake -DMETAINFO=<file> -DVERSION=<x.y.z> -P ReleaseVersion.cmake
file(READ ${METAINFO} text)
string(REGEX MATCH "<release version=\"([^\"]*)\"" first "${text}")
if(NOT CMAKE_MATCH_1 STREQUAL VERSION)
  message(FATAL_ERROR "${METAINFO}: the first release is \"${CMAKE_MATCH_1}\", the project is ${VERSION}")
endif()
