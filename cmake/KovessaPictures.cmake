# Pictures for the Windows programs, which carry no picture decoder: each picture file becomes a
# C++ source at build time (cmake/EmbedPicture.cmake) that returns its pixels as RgbPixels.
#
#   kovessa_embed_pictures(<out_var> <FunctionName> <picture file> [<FunctionName> <file>]...)
#
# appends the generated sources to <out_var>.
find_program(KOVESSA_CONVERT convert REQUIRED)

function(kovessa_embed_pictures out_var)
    set(sources ${${out_var}})
    set(pairs ${ARGN})
    while(pairs)
        list(POP_FRONT pairs name input)
        set(output ${CMAKE_CURRENT_BINARY_DIR}/embedded/${name}.cpp)
        add_custom_command(OUTPUT ${output}
            COMMAND ${CMAKE_COMMAND} -DINPUT=${input} -DOUTPUT=${output} -DNAME=${name}
                    -DCONVERT=${KOVESSA_CONVERT} -P ${CMAKE_SOURCE_DIR}/cmake/EmbedPicture.cmake
            DEPENDS ${input} ${CMAKE_SOURCE_DIR}/cmake/EmbedPicture.cmake
            COMMENT "Embedding ${name}"
            VERBATIM)
        list(APPEND sources ${output})
    endwhile()
    set(${out_var} ${sources} PARENT_SCOPE)
endfunction()
