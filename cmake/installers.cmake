# Installers for tests and demos, packed by qlmpack (run under Wine, so every build exercises
# it) from the installer program QLMInstaller.exe and the script sources.
#
#   qlm_add_installer(<target> CONFIG <lua> INSTALL <lua> [UNINSTALL <lua>]
#                     [OUTPUT_NAME <file name without .exe>]
#                     [SKIN <folder or .zip>] [PAYLOAD <.7z>] [ICON <.ico>]
#                     [UNINSTALLER <program file or target, e.g. QLMUninstaller>]
#                     [EXECUTION_LEVEL requireAdministrator|highestAvailable|asInvoker]
#                     [SIGN <command with {file}>]
#                     [DEPENDS <files or targets that make the inputs>] [EXCLUDE_FROM_ALL])
#
# CONFIG becomes "GLOBAL_VAR.LUAC", INSTALL "INSTSCRIPT.LUAC", UNINSTALL "UNINSTSCRIPT.LUAC",
# UNINSTALLER the resource "EXE"/"UNINSTALL.EXE"; the installer lands in the runtime output
# folder (bin/) and <target> builds it (as part of the default build unless EXCLUDE_FROM_ALL).
function(qlm_add_installer target)
  cmake_parse_arguments(I "EXCLUDE_FROM_ALL"
    "CONFIG;INSTALL;UNINSTALL;OUTPUT_NAME;SKIN;PAYLOAD;ICON;UNINSTALLER;EXECUTION_LEVEL;SIGN"
    "DEPENDS" ${ARGN})
  if(NOT I_CONFIG OR NOT I_INSTALL)
    message(FATAL_ERROR "qlm_add_installer(${target}): CONFIG and INSTALL are required")
  endif()
  set(name "${target}")
  if(I_OUTPUT_NAME)
    set(name "${I_OUTPUT_NAME}")
  endif()
  set(output "${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/${name}.exe")

  # Wine reaches the Linux file system through drive Z:.
  set(args --stub "Z:$<TARGET_FILE:QLMInstaller>")
  set(depends QLMInstaller qlmpack ${I_DEPENDS})
  foreach(kind CONFIG INSTALL UNINSTALL SKIN PAYLOAD ICON)
    if(NOT I_${kind})
      continue()
    endif()
    get_filename_component(input "${I_${kind}}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
    string(TOLOWER "--${kind}" option)
    list(APPEND args "${option}" "Z:${input}")
    if(kind STREQUAL "SKIN" AND IS_DIRECTORY "${input}")
      file(GLOB_RECURSE skin_files CONFIGURE_DEPENDS "${input}/*")
      list(APPEND depends ${skin_files})
    else()
      list(APPEND depends "${input}")
    endif()
  endforeach()
  if(TARGET "${I_UNINSTALLER}")
    list(APPEND args --uninstaller "Z:$<TARGET_FILE:${I_UNINSTALLER}>")
    list(APPEND depends ${I_UNINSTALLER})
  elseif(I_UNINSTALLER)
    get_filename_component(input "${I_UNINSTALLER}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
    list(APPEND args --uninstaller "Z:${input}")
    list(APPEND depends "${input}")
  endif()
  if(I_EXECUTION_LEVEL)
    list(APPEND args --execution-level "${I_EXECUTION_LEVEL}")
  endif()
  if(I_SIGN)
    list(APPEND args --sign "${I_SIGN}")
  endif()

  add_custom_command(
    OUTPUT "${output}"
    COMMAND "${CMAKE_SOURCE_DIR}/scripts/wine-run" "${CMAKE_BINARY_DIR}" "$<TARGET_FILE:qlmpack>"
            ${args} -o "Z:${output}"
    DEPENDS ${depends}
    COMMENT "Packing ${name}.exe with qlmpack"
    VERBATIM)
  if(I_EXCLUDE_FROM_ALL)
    add_custom_target(${target} DEPENDS "${output}")
  else()
    add_custom_target(${target} ALL DEPENDS "${output}")
  endif()
endfunction()
