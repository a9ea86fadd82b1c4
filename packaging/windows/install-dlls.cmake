# Run by `cmake --install`: copies the DLLs that the program imports, and
# those they import in turn, from the folders given, leaving out Windows'
# own. CMake reads the imports from the executable itself; it lowercases the
# names it reads (Windows does not mind case), which a Linux disk does, so
# each is matched to its file here whatever the case.
# In: MILBANE_EXE, MILBANE_DLL_DIRS, MILBANE_DESTINATION.
cmake_policy(VERSION 3.25)
set(files)
foreach(dir ${MILBANE_DLL_DIRS})
    file(GLOB found ${dir}/*.dll)
    list(APPEND files ${found})
endforeach()

set(scan ${MILBANE_EXE})
set(copied)
while(scan)
    file(GET_RUNTIME_DEPENDENCIES EXECUTABLES ${scan}
        UNRESOLVED_DEPENDENCIES_VAR names
        PRE_INCLUDE_REGEXES "^qt6" "^libstdc" "^libgcc_s" "^libwinpthread"
        PRE_EXCLUDE_REGEXES ".*")
    set(scan)
    foreach(name ${names})
        set(match)
        foreach(file ${files})
            get_filename_component(base ${file} NAME)
            string(TOLOWER ${base} lower)
            if(lower STREQUAL name)
                set(match ${file})
                break()
            endif()
        endforeach()
        if(NOT match)
            message(FATAL_ERROR "no ${name} in ${MILBANE_DLL_DIRS}")
        endif()
        if(NOT match IN_LIST copied)
            list(APPEND copied ${match})
            list(APPEND scan ${match})
        endif()
    endforeach()
endwhile()
file(INSTALL ${copied} DESTINATION ${MILBANE_DESTINATION})
