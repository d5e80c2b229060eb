# Runs one scenario: quillon-headless plays its scripts on a fresh game folder, and the
# transcripts and the files left behind are checked.
#
#   cmake -DHEADLESS=<program> -DSCENARIO=<folder> -DDEMO=<demo game> -DWORK=<folder>
#         [-DEMULATOR=<program that runs HEADLESS>] -P RunScenario.cmake
#
# A scenario folder holds:
#   script.txt, expected.txt      the script and the transcript it must print; further
#   script2.txt, expected2.txt    runs on the same folder follow in number order
#   status.txt (optional)         the exit status of each run, one per line (default 0)
#   game/ (optional)              the game folder to start from (else the demo game)
#   overlay/ (optional)           files copied over the game folder before the first run
#   empty (optional file)         start from an empty folder instead
#   checks.txt (optional)         checks on the files left behind, one a line:
#       exists PATH | absent PATH | unchanged PATH | contains PATH TEXT
#       | lacks PATH TEXT | equals PATH FILE-IN-SCENARIO | readonly PATH
# PATHs are relative to the game folder, written with "\". In transcripts the game
# folder is written @GAME@.
cmake_minimum_required(VERSION 3.22)

foreach(var HEADLESS SCENARIO DEMO WORK)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "RunScenario: ${var} is not set")
  endif()
endforeach()

set(game "${WORK}/game")
set(source "${DEMO}")
if(EXISTS "${SCENARIO}/game")
  set(source "${SCENARIO}/game")
endif()
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${game}")
if(NOT EXISTS "${SCENARIO}/empty")
  file(COPY "${source}/" DESTINATION "${game}")
endif()
if(EXISTS "${SCENARIO}/overlay")
  file(COPY "${SCENARIO}/overlay/" DESTINATION "${game}")
endif()

function(native_of relative out)
  string(REPLACE "\\" "/" rel "${relative}")
  set(${out} "${game}/${rel}" PARENT_SCOPE)
endfunction()

set(statuses "")
if(EXISTS "${SCENARIO}/status.txt")
  file(STRINGS "${SCENARIO}/status.txt" statuses)
endif()

set(failed FALSE)
set(run 1)
set(index 0)
while(TRUE)
  if(run EQUAL 1)
    set(suffix "")
  else()
    set(suffix "${run}")
  endif()
  if(NOT EXISTS "${SCENARIO}/script${suffix}.txt")
    break()
  endif()
  set(expected_status 0)
  list(LENGTH statuses count)
  if(index LESS count)
    list(GET statuses ${index} expected_status)
  endif()
  execute_process(
    COMMAND ${EMULATOR} "${HEADLESS}" "${SCENARIO}/script${suffix}.txt"
    WORKING_DIRECTORY "${game}"
    OUTPUT_VARIABLE actual
    ERROR_VARIABLE errors
    RESULT_VARIABLE status)
  # The game folder as the program printed it, whatever the system spelled it.
  string(REPLACE "${game}" "@GAME@" actual "${actual}")
  if(DEFINED GAME_AS_PRINTED)
    string(REPLACE "${GAME_AS_PRINTED}" "@GAME@" actual "${actual}")
    string(TOLOWER "${GAME_AS_PRINTED}" lowered)
    string(REPLACE "${lowered}" "@GAME@" actual "${actual}")
  endif()
  string(REPLACE "\r\n" "\n" actual "${actual}")
  file(WRITE "${WORK}/actual${suffix}.txt" "${actual}")
  file(READ "${SCENARIO}/expected${suffix}.txt" expected)
  string(REPLACE "\r\n" "\n" expected "${expected}")
  if(NOT status STREQUAL expected_status)
    message(SEND_ERROR "run ${run}: exit status ${status}, expected ${expected_status}\n${errors}")
    set(failed TRUE)
  endif()
  if(NOT actual STREQUAL expected)
    execute_process(COMMAND diff -u "${SCENARIO}/expected${suffix}.txt" "${WORK}/actual${suffix}.txt"
                    OUTPUT_VARIABLE difference)
    message(SEND_ERROR "run ${run}: the transcript differs from expected${suffix}.txt\n"
                       "${difference}\n--- actual ---\n${actual}")
    set(failed TRUE)
  endif()
  math(EXPR run "${run} + 1")
  math(EXPR index "${index} + 1")
endwhile()

if(EXISTS "${SCENARIO}/checks.txt")
  file(STRINGS "${SCENARIO}/checks.txt" checks)
  foreach(check IN LISTS checks)
    if(check MATCHES "^[ \t]*(#|$)")
      continue()
    endif()
    string(REGEX MATCH "^([a-z]+) ([^ ]+) ?(.*)$" matched "${check}")
    set(kind "${CMAKE_MATCH_1}")
    set(path "${CMAKE_MATCH_2}")
    set(argument "${CMAKE_MATCH_3}")
    native_of("${path}" file)
    if(kind STREQUAL "exists")
      if(NOT EXISTS "${file}")
        message(SEND_ERROR "check '${check}': missing")
        set(failed TRUE)
      endif()
    elseif(kind STREQUAL "absent")
      if(EXISTS "${file}")
        message(SEND_ERROR "check '${check}': present")
        set(failed TRUE)
      endif()
    elseif(kind STREQUAL "unchanged" OR kind STREQUAL "equals")
      if(kind STREQUAL "unchanged")
        string(REPLACE "\\" "/" rel "${path}")
        set(reference "${source}/${rel}")
      else()
        set(reference "${SCENARIO}/${argument}")
      endif()
      execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${file}" "${reference}"
                      RESULT_VARIABLE different)
      if(different)
        message(SEND_ERROR "check '${check}': the file differs")
        set(failed TRUE)
      endif()
    elseif(kind STREQUAL "contains" OR kind STREQUAL "lacks")
      set(content "")
      if(EXISTS "${file}")
        file(READ "${file}" content)
      endif()
      string(FIND "${content}" "${argument}" at)
      if(kind STREQUAL "contains" AND at EQUAL -1)
        message(SEND_ERROR "check '${check}': text not found in\n${content}")
        set(failed TRUE)
      elseif(kind STREQUAL "lacks" AND NOT at EQUAL -1)
        message(SEND_ERROR "check '${check}': text found in\n${content}")
        set(failed TRUE)
      endif()
    else()
      message(SEND_ERROR "unknown check '${check}'")
      set(failed TRUE)
    endif()
  endforeach()
endif()

if(failed)
  message(FATAL_ERROR "scenario ${SCENARIO} failed (files kept in ${WORK})")
endif()
