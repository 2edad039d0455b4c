# Runs a generator into an empty scratch folder and compares every file it
# wrote, byte for byte, with the file of the same name in the reference
# folder (the committed copies).
#
#   cmake -DGENERATOR=<program> -DARGUMENT=<what the program is given>
#         -DSCRATCH=<folder> -DREFERENCE=<folder> -DCOUNT=<files expected>
#         -P compare_output.cmake
#
# ARGUMENT is the scratch folder itself or a file name inside it.
foreach(var GENERATOR ARGUMENT SCRATCH REFERENCE COUNT)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "compare_output.cmake: ${var} is not set")
  endif()
endforeach()

file(REMOVE_RECURSE "${SCRATCH}")
file(MAKE_DIRECTORY "${SCRATCH}")
execute_process(COMMAND "${GENERATOR}" "${ARGUMENT}" RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${GENERATOR} failed: ${status}")
endif()

file(GLOB written RELATIVE "${SCRATCH}" "${SCRATCH}/*")
list(LENGTH written count)
if(NOT count EQUAL COUNT)
  message(FATAL_ERROR "expected ${COUNT} files, the generator wrote ${count}: ${written}")
endif()

set(differing "")
foreach(name IN LISTS written)
  execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${SCRATCH}/${name}" "${REFERENCE}/${name}"
                  RESULT_VARIABLE same)
  if(NOT same EQUAL 0)
    list(APPEND differing "${name}")
  endif()
endforeach()
if(differing)
  message(FATAL_ERROR "differ from ${REFERENCE} (regenerate and commit them): ${differing}")
endif()
message(STATUS "${count} files match ${REFERENCE}")
