# velmora_layer(TARGET FOLDER SOURCES source... [FRAME_PATH source...] [BELOW layer...]): one layer
# of the core as a static library. Its headers are reachable as "FOLDER/name.h" through an include
# root of its own in the build tree that holds that one folder, and the roots of the layers BELOW
# come with linking them. So a file can include its own layer and those beneath it, and an include
# of a layer above fails to compile: the build, not a review, keeps the arrows pointing down.
#
# The optimised builds make the frame path (a reading into the filters under the lock, a camera
# query answered: the FRAME_PATH sources) fast, and the rest small: the settings, the files, the
# thread's bookkeeping and the notice run at most once a second, and their share of Velmora.dll,
# which the game loads, halves at -Os.
function(velmora_layer target folder)
    cmake_parse_arguments(arg "" "" "SOURCES;FRAME_PATH;BELOW" ${ARGN})
    set(root ${CMAKE_BINARY_DIR}/layers/${folder})
    file(MAKE_DIRECTORY ${root})
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${folder} ${root}/${folder} SYMBOLIC)
    add_library(${target} STATIC ${arg_SOURCES} ${arg_FRAME_PATH})
    target_include_directories(${target} PUBLIC ${root})
    target_link_libraries(${target} PUBLIC ${arg_BELOW} velmora_warnings)
    target_compile_options(${target} PRIVATE $<$<CONFIG:Release>:-Os>)
    # A source's own options come after the target's on the command line: the later -O wins. The
    # frame path's loops start on a cache line: placed wherever the code before them ended, the
    # filter's ran 4% to 12% slower after edits that did not touch them.
    set_source_files_properties(${arg_FRAME_PATH} PROPERTIES COMPILE_OPTIONS
        "$<$<CONFIG:Release>:-O3;-falign-loops=64>")
endfunction()
