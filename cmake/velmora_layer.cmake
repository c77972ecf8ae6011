# velmora_layer(TARGET FOLDER SOURCES source... [BELOW layer...]): one layer of the core as a static
# library. Its headers are reachable as "FOLDER/name.h" through an include root of its own in the
# build tree that holds that one folder, and the roots of the layers BELOW come with linking them.
# So a file can include its own layer and those beneath it, and an include of a layer above fails
# to compile: the build, not a review, keeps the arrows pointing down.
function(velmora_layer target folder)
    cmake_parse_arguments(arg "" "" "SOURCES;BELOW" ${ARGN})
    set(root ${CMAKE_BINARY_DIR}/layers/${folder})
    file(MAKE_DIRECTORY ${root})
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${folder} ${root}/${folder} SYMBOLIC)
    add_library(${target} STATIC ${arg_SOURCES})
    target_include_directories(${target} PUBLIC ${root})
    target_link_libraries(${target} PUBLIC ${arg_BELOW} velmora_warnings)
endfunction()
