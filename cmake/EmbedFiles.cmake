# qc_embed_files(<output.cpp> <header> <function> <file>...) generates a C++ source that holds
# the given files as byte arrays and defines <function>(name) -> std::span<const std::uint8_t>,
# declared in <header>; name is the file name without folders. Unknown names give an empty span.
function(qc_embed_files output header function)
  set(inputs ${ARGN})
  add_custom_command(
    OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -DOUTPUT=${output} -DHEADER=${header} -DFUNCTION=${function} "-DINPUTS=${inputs}"
            -P ${PROJECT_SOURCE_DIR}/cmake/embed_files_script.cmake
    DEPENDS ${inputs} ${PROJECT_SOURCE_DIR}/cmake/embed_files_script.cmake
    COMMENT "Embedding ${CMAKE_CURRENT_SOURCE_DIR} artwork"
    VERBATIM)
endfunction()
