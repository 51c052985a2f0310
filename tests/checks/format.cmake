# The sources are formatted with the project's .clang-format (clang-format 14).
#
#   cmake -DROOT=<source folder> -DCLANG_FORMAT=<clang-format> -P format.cmake
set(patterns "")
foreach(folder classlib skin tests examples tools bench)
  list(APPEND patterns ${ROOT}/${folder}/*.h ${ROOT}/${folder}/*.cpp ${ROOT}/${folder}/*.c)
endforeach()
file(GLOB_RECURSE files ${patterns})
execute_process(COMMAND ${CLANG_FORMAT} --dry-run -Werror --style=file ${files}
  WORKING_DIRECTORY ${ROOT} RESULT_VARIABLE result ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
  # One line for each place, not the whole listing: clang-format -i <file> mends it.
  string(REGEX MATCHALL "[^\n]*error: code should be clang-formatted[^\n]*" places "${errors}")
  foreach(place ${places})
    message("${place}")
  endforeach()
  message(FATAL_ERROR "not formatted with .clang-format: run clang-format -i on the files above")
endif()
list(LENGTH files count)
message("${count} files formatted")
