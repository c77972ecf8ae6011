# velmora_version_resource(TARGET FILE_NAME DESCRIPTION): gives a Windows DLL or program the
# project's version in its file properties. Elsewhere it does nothing: only Windows reads the
# resource.
function(velmora_version_resource target file_name description)
    if(NOT WIN32)
        return()
    endif()
    set(VERSION_FILE_NAME ${file_name})
    set(VERSION_DESCRIPTION ${description})
    get_filename_component(VERSION_INTERNAL_NAME ${file_name} NAME_WE)
    # VFT_APP for a program, VFT_DLL for a library.
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "EXECUTABLE")
        set(VERSION_FILE_TYPE 0x1)
    else()
        set(VERSION_FILE_TYPE 0x2)
    endif()
    set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc)
    configure_file(${PROJECT_SOURCE_DIR}/cmake/version.rc.in ${rc} @ONLY)
    target_sources(${target} PRIVATE ${rc})
endfunction()
