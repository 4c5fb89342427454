# Delay-loaded system libraries. A library in a program's import table is loaded by the system
# before the program's first instruction, with the program's own folder searched first; only
# the system's known libraries are immune to a copy planted there. The others are linked
# through delay-load import libraries instead: the first call loads them, after the program
# has restricted the library search to the system folder (RestrictLibrarySearch).
#
#   qlm_delay_import(<library>)  defines the link target qlm_delay_<library> (e.g. gdiplus)
#
# The delay-load import library is made once at configure time from MinGW's import library:
# its exported names become a module definition for dlltool.
function(qlm_delay_import library)
  set(import "${CMAKE_FIND_ROOT_PATH}/lib/lib${library}.a")
  set(folder "${CMAKE_BINARY_DIR}/delayload")
  set(def "${folder}/${library}.def")
  set(output "${folder}/lib${library}_delay.a")
  file(MAKE_DIRECTORY "${folder}")
  execute_process(COMMAND "${CMAKE_NM}" "${import}" OUTPUT_VARIABLE symbols
    RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "qlm_delay_import(${library}): cannot read ${import}")
  endif()
  # Exported functions appear as "T _Name@bytes"; the decorated name stays the link symbol and
  # dlltool's --kill-at gives the undecorated import name.
  string(REGEX MATCHALL "[0-9a-f]+ T _[A-Za-z0-9_]+@[0-9]+" lines "${symbols}")
  set(text "LIBRARY ${library}.dll\nEXPORTS\n")
  set(names "")
  foreach(line IN LISTS lines)
    string(REGEX REPLACE "^[0-9a-f]+ T _" "" name "${line}")
    list(APPEND names "${name}")
  endforeach()
  list(REMOVE_DUPLICATES names)
  list(SORT names)
  foreach(name IN LISTS names)
    string(APPEND text "${name}\n")
  endforeach()
  file(WRITE "${def}" "${text}")
  execute_process(
    COMMAND "${CMAKE_DLLTOOL}" --kill-at --deterministic-libraries --temp-prefix "${library}_d"
            --input-def "${def}" --dllname "${library}.dll" --output-delaylib "${output}"
    WORKING_DIRECTORY "${folder}" RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "qlm_delay_import(${library}): dlltool failed")
  endif()
  # MinGW's import library stays behind it in the link for its few ordinary members (the
  # GDI+ wrappers' cached objects); the functions are all found in the delay-load library first.
  add_library(qlm_delay_${library} STATIC IMPORTED GLOBAL)
  set_target_properties(qlm_delay_${library} PROPERTIES IMPORTED_LOCATION "${output}"
    INTERFACE_LINK_LIBRARIES "${library}")
endfunction()
