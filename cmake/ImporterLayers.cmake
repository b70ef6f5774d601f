# The importer's folders as floors of a house: a folder includes only from
# its own folder and from folders on lower floors, never from its floor or
# above. Run as a script over a source tree:
#
#   cmake -DROOT=importer -P cmake/ImporterLayers.cmake
#
# It lists every include that runs sideways or upward, and every folder the
# table does not place, and fails when there is any.

# Floor of each folder, the top first.
set(PCB9_FLOORS
  "entry 6"      # the exports, recognition and the driver
  "loaders 5"    # one loader per record group
  "rules 4"      # the passes after loading
  "report 4"
  "stream 3"     # the token reader and the file header
  "proxies 3"    # the host's objects mirrored
  "hostapi 2"    # the host binding
  "client 2"
  "run 1"        # the import run, its abort check and the values it holds
  "layers 1"     # layer ids and codes
  "platform 0")

if(NOT ROOT)
  message(FATAL_ERROR "usage: cmake -DROOT=FOLDER -P ImporterLayers.cmake")
endif()
get_filename_component(ROOT "${ROOT}" ABSOLUTE)

foreach(entry ${PCB9_FLOORS})
  separate_arguments(pair UNIX_COMMAND "${entry}")
  list(GET pair 0 folder)
  list(GET pair 1 floor)
  set(floor_of_${folder} ${floor})
  list(APPEND folders ${folder})
endforeach()

# The folders a folder may include from, for the messages.
function(allowed_from folder out)
  set(allowed)
  foreach(other ${folders})
    if(floor_of_${other} LESS floor_of_${folder})
      list(APPEND allowed ${other})
    endif()
  endforeach()
  string(REPLACE ";" " " allowed "${allowed}")
  set(${out} "${allowed}" PARENT_SCOPE)
endfunction()

set(faults)
file(GLOB_RECURSE sources RELATIVE ${ROOT} ${ROOT}/*.h ${ROOT}/*.cpp)
list(SORT sources)
foreach(source ${sources})
  get_filename_component(folder ${source} DIRECTORY)
  if(NOT DEFINED floor_of_${folder})
    list(APPEND faults "${source}: folder '${folder}' has no floor in the table")
    continue()
  endif()
  file(STRINGS ${ROOT}/${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"[^\"]+\"")
  foreach(line ${includes})
    string(REGEX REPLACE "^[^\"]*\"([^\"]+)\".*$" "\\1" target "${line}")
    if(NOT target MATCHES "/")
      continue()  # beside the including file
    endif()
    string(REGEX REPLACE "/.*$" "" target_folder "${target}")
    if(target_folder STREQUAL folder OR NOT IS_DIRECTORY ${ROOT}/${target_folder})
      continue()
    endif()
    if(NOT DEFINED floor_of_${target_folder})
      list(APPEND faults
        "${source} includes ${target}: folder '${target_folder}' has no floor in the table")
    elseif(NOT floor_of_${target_folder} LESS floor_of_${folder})
      allowed_from(${folder} allowed)
      list(APPEND faults "${source} includes ${target}, which is not below it \
(${folder}/ may include from: ${allowed})")
    endif()
  endforeach()
endforeach()

if(faults)
  list(LENGTH faults count)
  string(REPLACE ";" "\n  " listed "${faults}")
  message(FATAL_ERROR "${count} include(s) not running downward:\n  ${listed}")
endif()
list(LENGTH sources count)
message(STATUS "every include of the ${count} files runs downward")
