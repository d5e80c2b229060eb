# A program asked for its usage or its version answers on standard output, with exit
# status 0 and without a display, whatever the letter case of the word.
#
#   cmake -DPROGRAM=<program> -DNAME=<its name> -DVERSION=<version>
#         -DWORDS=<words its usage names, ;-separated> [-DEMULATOR=<program>]
#         -P InfoWords.cmake
cmake_minimum_required(VERSION 3.22)

foreach(word --help -help -? -HELP --version -version --VERSION)
  execute_process(COMMAND ${EMULATOR} ${PROGRAM} ${word} RESULT_VARIABLE status
                  OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status EQUAL 0 OR NOT err STREQUAL "")
    message(FATAL_ERROR "${NAME} ${word}: status ${status}, standard error:\n${err}")
  endif()
  string(TOLOWER "${word}" lower)
  if(lower MATCHES "version")
    if(NOT out MATCHES "^${NAME} ${VERSION}\r?\n$")
      message(FATAL_ERROR "${NAME} ${word} printed:\n${out}")
    endif()
  else()
    foreach(expected IN LISTS WORDS)
      string(FIND "${out}" "${expected}" at)
      if(at EQUAL -1)
        message(FATAL_ERROR "${NAME} ${word}: the usage lacks ${expected}:\n${out}")
      endif()
    endforeach()
  endif()
endforeach()
