# embed_file(<target> <file> <symbol>): compiles <file> into <target> as the
# byte array <symbol>[] with its size in <symbol>_size (see embed.cmake).
set(BRINDLEMARK_EMBED_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/embed.cmake)

function(embed_file target file symbol)
  get_filename_component(input ${file} ABSOLUTE)
  set(output ${CMAKE_CURRENT_BINARY_DIR}/embedded/${symbol}.cpp)
  add_custom_command(
    OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -DINPUT=${input} -DOUTPUT=${output} -DSYMBOL=${symbol}
            -P ${BRINDLEMARK_EMBED_SCRIPT}
    DEPENDS ${input} ${BRINDLEMARK_EMBED_SCRIPT}
    COMMENT "Embedding ${file}"
    VERBATIM)
  target_sources(${target} PRIVATE ${output})
endfunction()
