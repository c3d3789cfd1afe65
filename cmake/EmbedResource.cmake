# velmora_embed(<target> <symbol> <file>)
# Compiles <file> into <target> as `extern "C" const unsigned char <symbol>[]` followed by one NUL, and
# `<symbol>_size`, the file's length without that NUL. The array is written at build time by
# cmake/EmbedFile.cmake, so editing a resource rebuilds only its array.
function(velmora_embed target symbol file)
  get_filename_component(abs "${file}" ABSOLUTE)
  set(out "${CMAKE_CURRENT_BINARY_DIR}/embedded/${symbol}.c")
  add_custom_command(
    OUTPUT "${out}"
    COMMAND ${CMAKE_COMMAND} -DINPUT=${abs} -DOUTPUT=${out} -DSYMBOL=${symbol}
            -P "${PROJECT_SOURCE_DIR}/cmake/EmbedFile.cmake"
    DEPENDS "${abs}" "${PROJECT_SOURCE_DIR}/cmake/EmbedFile.cmake"
    COMMENT "Embedding ${file}"
    VERBATIM)
  target_sources(${target} PRIVATE "${out}")
endfunction()
