# Runs one scenario: quillon-headless plays its scripts on a fresh game folder, and the
# transcripts and the files left behind are checked.
#
#   cmake -DHEADLESS=<program> -DSCENARIO=<folder> -DDEMO=<demo game> -DWORK=<folder>
#         [-DEMULATOR=<program that runs HEADLESS>] -P RunScenario.cmake
#
# A scenario folder holds:
#   script.txt, expected.txt      the script and the transcript it must print; further
#   script2.txt, expected2.txt    runs on the same folder follow in number order (a
#                                 line "*" in a transcript stands for any one line,
#                                 such as a message of the operating system)
#   status.txt (optional)         the exit status of each run, one per line (default 0);
#                                 "killed" for a run that kills itself through the
#                                 test hook (it needs no transcript)
#   environment.txt, environment2.txt, ... (optional)
#                                 variables (NAME=VALUE, one a line) for that run
#   game/ (optional)              the game folder to start from (else the demo game)
#   overlay/ (optional)           files copied over the game folder before the first run
#   overlay2/, overlay3/, ... (optional)
#                                 files copied over the game folder before that run (a
#                                 game update, a player's edit between two runs), each
#                                 with the time it was copied
#   remove2.txt, remove3.txt, ... (optional)
#                                 files deleted before that run, one a line
#   empty (optional file)         start from an empty folder instead
#   readonly.txt (optional)       files made read-only before the first run, one a line
#   outside/ (optional)           a sentinel folder copied beside the game folder: no run
#                                 may change, add or remove anything in it
#   setup.cmake (optional)        CMake code run before the first run, for what git
#   setup2.cmake, ...             cannot hold (links, pipes, odd names, permissions);
#                                 setupN.cmake runs before run N. It sees `game`,
#                                 `outside` (beside it), `WORK`, and `WINDOWS` (true when
#                                 the program runs emulated); setting SKIP_SCENARIO to a
#                                 reason skips the scenario.
#   checks.txt (optional)         checks on the files left behind, one a line:
#       exists PATH | absent PATH | unchanged PATH | contains PATH TEXT
#       | lacks PATH TEXT | equals PATH FILE-IN-SCENARIO | readonly PATH
#       | lines PATH FILE-IN-SCENARIO | mode PATH OCTAL | noleftovers PATH
#       | kept PATTERN FILE-IN-SCENARIO
#     `lines` wants the lines of FILE-IN-SCENARIO, in order and one after the other,
#     somewhere in PATH; there a line "*" stands for any one line (a date, a time).
#     `mode` wants the permission bits (ignored where the host has none).
#     `noleftovers` wants no temporary file of the program in PATH or below it.
#     `kept` wants exactly one file that matches PATTERN ("*" in its name), equal to FILE.
# PATHs are relative to the game folder, written with "\". In transcripts and in the
# text that `lines`, `contains` and `lacks` read, the game folder is written @GAME@ and
# the scenario's work folder (that holds it and outside/) @WORK@.
#
# Every scenario also fails when a run takes longer than a few minutes (a hang) or
# leaves a temporary file of the program behind.
cmake_minimum_required(VERSION 3.22)

foreach(var HEADLESS SCENARIO DEMO WORK)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "RunScenario: ${var} is not set")
  endif()
endforeach()

set(game "${WORK}/game")
set(outside "${WORK}/outside")
set(WINDOWS FALSE)
if(DEFINED EMULATOR)
  set(WINDOWS TRUE)
endif()
set(source "${DEMO}")
if(EXISTS "${SCENARIO}/game")
  set(source "${SCENARIO}/game")
endif()
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${game}")
if(NOT EXISTS "${SCENARIO}/empty")
  file(COPY "${source}/" DESTINATION "${game}")
endif()
function(copy_overlay overlay)
  # file(COPY) skips a file whose copy has the same time stamp, which a fresh checkout
  # gives the demo game and the overlay alike: clear the way first.
  file(GLOB_RECURSE replaced RELATIVE "${overlay}" "${overlay}/*")
  foreach(relative IN LISTS replaced)
    file(REMOVE "${game}/${relative}")
  endforeach()
  file(COPY "${overlay}/" DESTINATION "${game}")
  # An edit or an update gives a file the time it was made; file(COPY) keeps the
  # overlay's, to the second, which a fresh checkout may share with the mod's file of
  # the same size that the overlay stands in for: a file whose size and time stamp
  # match the record passes as unchanged.
  foreach(relative IN LISTS replaced)
    file(TOUCH_NOCREATE "${game}/${relative}")
  endforeach()
endfunction()
if(EXISTS "${SCENARIO}/overlay")
  copy_overlay("${SCENARIO}/overlay")
endif()

if(EXISTS "${SCENARIO}/outside")
  file(COPY "${SCENARIO}/outside/" DESTINATION "${outside}")
endif()

function(native_of relative out)
  string(REPLACE "\\" "/" rel "${relative}")
  set(${out} "${game}/${rel}" PARENT_SCOPE)
endfunction()

# Text as the program wrote it, with the game folder as @GAME@ and the work folder as
# @WORK@ whatever the system spelled them, and LF line ends.
function(as_printed text out)
  set(spellings "${game}" "@GAME@" "${WORK}" "@WORK@")
  if(DEFINED GAME_AS_PRINTED)
    string(REGEX REPLACE "\\\\game$" "" work_as_printed "${GAME_AS_PRINTED}")
    foreach(printed IN ITEMS GAME_AS_PRINTED work_as_printed)
      string(TOLOWER "${${printed}}" ${printed}_lowered)
    endforeach()
    list(APPEND spellings "${GAME_AS_PRINTED}" "@GAME@" "${GAME_AS_PRINTED_lowered}" "@GAME@"
         "${work_as_printed}" "@WORK@" "${work_as_printed_lowered}" "@WORK@")
  endif()
  while(spellings)
    list(POP_FRONT spellings spelled placeholder)
    string(REPLACE "${spelled}" "${placeholder}" text "${text}")
  endwhile()
  string(REPLACE "\r\n" "\n" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

# The lines of a text as a list; characters that lists treat specially are kept aside.
function(lines_of text out)
  string(REGEX REPLACE "\n$" "" text "${text}")
  string(REPLACE ";" "<semicolon>" text "${text}")
  string(REPLACE "[" "<open>" text "${text}")
  string(REPLACE "]" "<close>" text "${text}")
  string(REPLACE "\n" ";" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

# Whether the lines of `wanted` follow one another somewhere in `lines` ("*" matches
# any line).
function(has_block lines wanted out)
  list(LENGTH lines have)
  list(LENGTH wanted need)
  set(${out} FALSE PARENT_SCOPE)
  if(need EQUAL 0)
    set(${out} TRUE PARENT_SCOPE)
    return()
  endif()
  math(EXPR last "${have} - ${need}")
  if(last LESS 0)
    return()
  endif()
  math(EXPR need_last "${need} - 1")
  foreach(start RANGE 0 ${last})
    set(found TRUE)
    foreach(offset RANGE 0 ${need_last})
      math(EXPR at "${start} + ${offset}")
      list(GET lines ${at} line)
      list(GET wanted ${offset} pattern)
      if(NOT pattern STREQUAL "*" AND NOT line STREQUAL pattern)
        set(found FALSE)
        break()
      endif()
    endforeach()
    if(found)
      set(${out} TRUE PARENT_SCOPE)
      return()
    endif()
  endforeach()
endfunction()

if(EXISTS "${SCENARIO}/readonly.txt")
  file(STRINGS "${SCENARIO}/readonly.txt" read_only_files)
  foreach(relative IN LISTS read_only_files)
    native_of("${relative}" file)
    file(CHMOD "${file}" PERMISSIONS OWNER_READ GROUP_READ WORLD_READ)
  endforeach()
endif()

# What a folder holds: each entry with its kind and permissions (where the host has
# them) and the hash of its content. Links are described, never followed, and only
# regular files are read: a pipe would keep the reader waiting.
function(snapshot_of folder out)
  set(result "")
  if(IS_DIRECTORY "${folder}")
    file(GLOB_RECURSE entries LIST_DIRECTORIES true RELATIVE "${folder}" "${folder}/*")
    list(SORT entries)
    foreach(entry IN LISTS entries)
      set(path "${folder}/${entry}")
      set(kind "")
      if(CMAKE_HOST_UNIX)
        execute_process(COMMAND stat -c "%F %a" "${path}" OUTPUT_VARIABLE kind
                        OUTPUT_STRIP_TRAILING_WHITESPACE)
      endif()
      if(IS_SYMLINK "${path}")
        file(READ_SYMLINK "${path}" target)
        string(APPEND kind " to ${target}")
      elseif(kind MATCHES "^regular" OR (NOT CMAKE_HOST_UNIX AND NOT IS_DIRECTORY "${path}"))
        file(SHA256 "${path}" hash)
        string(APPEND kind " ${hash}")
      endif()
      string(APPEND result "${entry}: ${kind}\n")
    endforeach()
  endif()
  set(${out} "${result}" PARENT_SCOPE)
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
  if(NOT run EQUAL 1 AND EXISTS "${SCENARIO}/overlay${suffix}")
    copy_overlay("${SCENARIO}/overlay${suffix}")
  endif()
  if(NOT run EQUAL 1 AND EXISTS "${SCENARIO}/remove${suffix}.txt")
    file(STRINGS "${SCENARIO}/remove${suffix}.txt" removed)
    foreach(relative IN LISTS removed)
      native_of("${relative}" file)
      file(REMOVE "${file}")
    endforeach()
  endif()
  if(EXISTS "${SCENARIO}/setup${suffix}.cmake")
    include("${SCENARIO}/setup${suffix}.cmake")
    if(DEFINED SKIP_SCENARIO)
      message(STATUS "SCENARIO SKIPPED: ${SKIP_SCENARIO}")
      return()
    endif()
  endif()
  snapshot_of("${outside}" outside_before)
  set(expected_status 0)
  list(LENGTH statuses count)
  if(index LESS count)
    list(GET statuses ${index} expected_status)
  endif()
  set(variables "")
  if(EXISTS "${SCENARIO}/environment${suffix}.txt")
    file(STRINGS "${SCENARIO}/environment${suffix}.txt" environment)
    foreach(variable IN LISTS environment)
      string(REGEX MATCH "^([^=]+)=(.*)$" matched "${variable}")
      set(ENV{${CMAKE_MATCH_1}} "${CMAKE_MATCH_2}")
      list(APPEND variables "${CMAKE_MATCH_1}")
    endforeach()
  endif()
  execute_process(
    COMMAND ${EMULATOR} "${HEADLESS}" "${SCENARIO}/script${suffix}.txt"
    WORKING_DIRECTORY "${game}"
    OUTPUT_VARIABLE actual
    ERROR_VARIABLE errors
    RESULT_VARIABLE status
    TIMEOUT 180)
  foreach(variable IN LISTS variables)
    unset(ENV{${variable}})
  endforeach()
  snapshot_of("${outside}" outside_after)
  if(NOT outside_after STREQUAL outside_before)
    message(SEND_ERROR "run ${run}: the folder beside the game changed\n"
                       "before:\n${outside_before}after:\n${outside_after}")
    set(failed TRUE)
  endif()
  as_printed("${actual}" actual)
  file(WRITE "${WORK}/actual${suffix}.txt" "${actual}")
  if(expected_status STREQUAL "killed")
    # SIGKILL, or the status TerminateProcess gives under Wine; what the run printed
    # before it died is not looked at.
    if(NOT status MATCHES "^(Subprocess killed|137)$")
      message(SEND_ERROR "run ${run}: exit status ${status}, expected a kill\n${errors}")
      set(failed TRUE)
    endif()
    math(EXPR run "${run} + 1")
    math(EXPR index "${index} + 1")
    continue()
  endif()
  file(READ "${SCENARIO}/expected${suffix}.txt" expected)
  string(REPLACE "\r\n" "\n" expected "${expected}")
  if(NOT status STREQUAL expected_status)
    message(SEND_ERROR "run ${run}: exit status ${status}, expected ${expected_status}\n${errors}")
    set(failed TRUE)
  endif()
  set(same FALSE)
  if(actual STREQUAL expected)
    set(same TRUE)
  else()
    lines_of("${actual}" actual_lines)
    lines_of("${expected}" expected_lines)
    list(LENGTH actual_lines actual_count)
    list(LENGTH expected_lines expected_count)
    if(actual_count EQUAL expected_count AND "*" IN_LIST expected_lines)
      has_block("${actual_lines}" "${expected_lines}" same)
    endif()
  endif()
  if(NOT same)
    execute_process(COMMAND diff -u "${SCENARIO}/expected${suffix}.txt" "${WORK}/actual${suffix}.txt"
                    OUTPUT_VARIABLE difference)
    message(SEND_ERROR "run ${run}: the transcript differs from expected${suffix}.txt\n"
                       "${difference}\n--- actual ---\n${actual}")
    set(failed TRUE)
  endif()
  math(EXPR run "${run} + 1")
  math(EXPR index "${index} + 1")
endwhile()

# Whatever ended a run, the program's temporary files are gone.
file(GLOB_RECURSE left_behind LIST_DIRECTORIES false "${WORK}/*")
list(FILTER left_behind INCLUDE REGEX "/(\\.?~quillon-[0-9]+-[0-9]+\\.part|temp\\.tmp)$")
if(left_behind)
  message(SEND_ERROR "temporary files left behind: ${left_behind}")
  set(failed TRUE)
endif()

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
      as_printed("${content}" content)
      string(FIND "${content}" "${argument}" at)
      if(kind STREQUAL "contains" AND at EQUAL -1)
        message(SEND_ERROR "check '${check}': text not found in\n${content}")
        set(failed TRUE)
      elseif(kind STREQUAL "lacks" AND NOT at EQUAL -1)
        message(SEND_ERROR "check '${check}': text found in\n${content}")
        set(failed TRUE)
      endif()
    elseif(kind STREQUAL "readonly")
      if(CMAKE_HOST_WIN32)
        execute_process(COMMAND attrib "${file}" OUTPUT_VARIABLE attributes)
        string(REGEX MATCH "^[^:]*R" writable_not "${attributes}")
        set(writable TRUE)
        if(writable_not)
          set(writable FALSE)
        endif()
      else()
        execute_process(COMMAND ls -ld "${file}" OUTPUT_VARIABLE attributes)
        string(SUBSTRING "${attributes}" 2 1 owner_write)
        set(writable TRUE)
        if(NOT owner_write STREQUAL "w")
          set(writable FALSE)
        endif()
      endif()
      if(NOT EXISTS "${file}" OR writable)
        message(SEND_ERROR "check '${check}': missing or writable")
        set(failed TRUE)
      endif()
    elseif(kind STREQUAL "mode")
      if(CMAKE_HOST_UNIX)
        execute_process(COMMAND stat -c "%a" "${file}" OUTPUT_VARIABLE mode
                        OUTPUT_STRIP_TRAILING_WHITESPACE)
        if(NOT mode STREQUAL argument)
          message(SEND_ERROR "check '${check}': the mode is ${mode}")
          set(failed TRUE)
        endif()
      endif()
    elseif(kind STREQUAL "lines")
      set(content "")
      if(EXISTS "${file}")
        file(READ "${file}" content)
      endif()
      as_printed("${content}" content)
      file(READ "${SCENARIO}/${argument}" wanted)
      string(REPLACE "\r\n" "\n" wanted "${wanted}")
      lines_of("${content}" content_lines)
      lines_of("${wanted}" wanted_lines)
      has_block("${content_lines}" "${wanted_lines}" found)
      if(NOT found)
        message(SEND_ERROR "check '${check}': the lines of ${argument} are not in\n${content}")
        set(failed TRUE)
      endif()
    elseif(kind STREQUAL "kept")
      file(GLOB matches "${file}")
      list(LENGTH matches count)
      set(different TRUE)
      if(count EQUAL 1)
        execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${matches}" "${SCENARIO}/${argument}"
                        RESULT_VARIABLE different)
      endif()
      if(different)
        message(SEND_ERROR "check '${check}': ${count} files match, or the one differs")
        set(failed TRUE)
      endif()
    elseif(kind STREQUAL "noleftovers")
      file(GLOB_RECURSE leftovers "${file}/*~quillon-*.part")
      if(leftovers)
        message(SEND_ERROR "check '${check}': left behind: ${leftovers}")
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
