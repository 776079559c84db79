# Runs inside cpack, on the staged files, before the package is made.
foreach(tool dpkg-shlibdeps file objcopy)
  find_program(tool_path_${tool} ${tool})
  if(NOT tool_path_${tool})
    message(FATAL_ERROR "Packaging needs ${tool}, which is missing: run tools/deps.sh package")
  endif()
endforeach()

# The compiler's notes are of no use in an installed binary (the build id stays).
file(GLOB_RECURSE staged LIST_DIRECTORIES false "${CPACK_TEMPORARY_DIRECTORY}/*")
foreach(path IN LISTS staged)
  execute_process(COMMAND ${tool_path_file} -b ${path} OUTPUT_VARIABLE kind)
  if(kind MATCHES "^ELF")
    execute_process(COMMAND ${tool_path_objcopy} --remove-section=.comment --remove-section=.note ${path}
      RESULT_VARIABLE failed)
    if(failed)
      message(FATAL_ERROR "objcopy failed on ${path}")
    endif()
  endif()
endforeach()
