# kelbra_embed_resources(<target> <id> <file> [<id> <file> ...])
# Makes an OBJECT library <target> that holds the files' bytes and registers
# them with the toolkit's resource table under their numbers at load time.
# OBJECT, so the registration is linked in even though nothing names it.
set(KELBRA_EMBED_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/embed_file.cmake)

function(kelbra_embed_resources target)
  set(entries "")
  set(depends "")
  set(args ${ARGN})
  list(LENGTH args count)
  math(EXPR odd "${count} % 2")
  if(count EQUAL 0 OR odd)
    message(FATAL_ERROR "kelbra_embed_resources(${target}): give pairs of number and file")
  endif()
  while(args)
    list(POP_FRONT args id file)
    get_filename_component(file ${file} ABSOLUTE)
    list(APPEND entries "${id}=${file}")
    list(APPEND depends ${file})
  endwhile()
  set(output ${CMAKE_CURRENT_BINARY_DIR}/${target}_table.cpp)
  string(REPLACE ";" "|" packed "${entries}")
  add_custom_command(
    OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -DOUTPUT=${output} -DENTRIES=${packed} -P ${KELBRA_EMBED_SCRIPT}
    DEPENDS ${depends} ${KELBRA_EMBED_SCRIPT}
    COMMENT "Embedding pictures into ${target}"
    VERBATIM)
  add_library(${target} OBJECT ${output})
  target_link_libraries(${target} PRIVATE kelbra_toolkit)
  set_target_properties(${target} PROPERTIES CXX_VISIBILITY_PRESET hidden)
endfunction()
