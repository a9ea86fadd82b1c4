# The version and the release date said once: run as
#   cmake -DVERSION=X.Y.Z -DSOURCE=<tree> -P versions.cmake
cmake_policy(VERSION 3.25)
# The newest changelog entry's version, and its date as the metainfo writes it.
foreach(field Version Date)
    execute_process(COMMAND dpkg-parsechangelog -l ${SOURCE}/debian/changelog -S ${field}
                    OUTPUT_VARIABLE ${field} OUTPUT_STRIP_TRAILING_WHITESPACE
                    COMMAND_ERROR_IS_FATAL ANY)
endforeach()
set(debian ${Version})
string(REGEX MATCH "[0-9]+ [A-Z][a-z]+ [0-9]+" day "${Date}") # as written, whatever its zone
execute_process(COMMAND date -d ${day} +%F OUTPUT_VARIABLE date
                OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
file(READ ${SOURCE}/packaging/jp.milbane.DenshiMilbane.metainfo.xml metainfo)
string(REGEX MATCH "<release version=\"([^\"]+)\" date=\"([^\"]+)\"" _ "${metainfo}")
set(release ${CMAKE_MATCH_1})
set(released ${CMAKE_MATCH_2})
set(failed FALSE)
foreach(pair "debian/changelog:${debian}" "metainfo release:${release}")
    string(REPLACE ":" ";" pair "${pair}")
    list(GET pair 0 where)
    list(GET pair 1 said)
    if(NOT said STREQUAL VERSION)
        message(SEND_ERROR "${where} says ${said}, the project ${VERSION}")
        set(failed TRUE)
    endif()
endforeach()
if(NOT released STREQUAL date)
    message(SEND_ERROR "the metainfo's release date ${released} is not the changelog's ${date}")
    set(failed TRUE)
endif()
if(failed)
    message(FATAL_ERROR "the versions disagree")
endif()
message(STATUS "version ${VERSION}, released ${released}")
