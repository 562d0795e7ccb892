# Dravik with a bad option in an empty folder: exit status 2, one line naming
# the option and the usage line on standard error, nothing on standard output
# (no banner: no file has been looked at).
#   cmake -DDRAVIK=<program> -DFOLDER=<scratch folder> -P bad_options.cmake
file(REMOVE_RECURSE "${FOLDER}")
file(MAKE_DIRECTORY "${FOLDER}")
foreach(args "--threads;0" "--batches;1" "--seed;x1" "--frobnicate")
  execute_process(COMMAND "${DRAVIK}" ${args}
    WORKING_DIRECTORY "${FOLDER}"
    INPUT_FILE /dev/null
    RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  list(GET args 0 option)
  if(NOT status EQUAL 2)
    message(FATAL_ERROR "${args}: exit status ${status}, expected 2")
  endif()
  if(NOT out STREQUAL "")
    message(FATAL_ERROR "${args}: wrote to standard output: ${out}")
  endif()
  if(NOT err MATCHES "^Dravik: [^\n]*${option}[^\n]*\nusage: Dravik \\[--threads N\\|auto\\] \\[--seed S\\] \\[--batches B\\]\n$")
    message(FATAL_ERROR "${args}: unexpected message: ${err}")
  endif()
endforeach()
file(GLOB left "${FOLDER}/*")
if(left)
  message(FATAL_ERROR "files were written: ${left}")
endif()
file(REMOVE_RECURSE "${FOLDER}")
