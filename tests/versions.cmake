# The version and the release date said once: run as
#   cmake -DVERSION=X.Y.Z -DSOURCE=<tree> -P versions.cmake
cmake_policy(VERSION 3.25)
# The newest changelog entry's version, and its date as the metainfo writes it.
foreach(field Version Date)
    execute_process(COMMAND dpkg-parsechangelog -l ${SOURCE}/debian/changelog -S ${field}
                    OUTPUT_VARIABLE ${field} OUTPUT_STRIP_TRAILING_WHITESPACE
                    COMMAND_ERROR_IS_FATAL ANY)
endforeach()
string(REGEX MATCH "[0-9]+ [A-Z][a-z]+ [0-9]+" day "${Date}") # as written, whatever its zone
execute_process(COMMAND date -d ${day} +%F OUTPUT_VARIABLE date
                OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
file(READ ${SOURCE}/packaging/jp.milbane.DenshiMilbane.metainfo.xml metainfo)
string(REGEX MATCH "<release version=\"([^\"]+)\" date=\"([^\"]+)\"" _ "${metainfo}")
if(NOT Version STREQUAL VERSION OR NOT CMAKE_MATCH_1 STREQUAL VERSION OR
   NOT CMAKE_MATCH_2 STREQUAL date)
    message(FATAL_ERROR "debian/changelog says ${Version}, the metainfo release ${CMAKE_MATCH_1} "
                        "of ${CMAKE_MATCH_2}; the project ${VERSION}, the changelog's date ${date}")
endif()
message(STATUS "version ${VERSION}, released ${date}")
