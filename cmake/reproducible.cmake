# Reproducible programs: two builds of one commit, in other folders and at other times, give
# the same bytes, so that anyone can check a released installer against the sources
# (scripts/check-reproducible compares two such builds).

# No link time stamp in the PE header.
add_link_options(-Wl,--no-insert-timestamp)

# No build paths: source and build folders (in __FILE__ of log records and assertions) are
# written relative to them. The build folder comes second because it may lie inside the
# sources and the last matching map applies.
add_compile_options("-ffile-prefix-map=${CMAKE_SOURCE_DIR}/="
                    "-ffile-prefix-map=${CMAKE_BINARY_DIR}/=")

# Static libraries without member time stamps, owners and modes.
foreach(lang C CXX)
  set(CMAKE_${lang}_ARCHIVE_CREATE "<CMAKE_AR> qcD <TARGET> <LINK_FLAGS> <OBJECTS>")
  set(CMAKE_${lang}_ARCHIVE_APPEND "<CMAKE_AR> qD <TARGET> <LINK_FLAGS> <OBJECTS>")
  set(CMAKE_${lang}_ARCHIVE_FINISH "<CMAKE_RANLIB> -D <TARGET>")
endforeach()

# The modification time of files packed into archives (the demo payload): SOURCE_DATE_EPOCH
# when set, otherwise the time of the commit that is built.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(QLM_SOURCE_DATE_EPOCH "$ENV{SOURCE_DATE_EPOCH}")
else()
  execute_process(COMMAND git -C "${CMAKE_SOURCE_DIR}" log -1 --format=%ct
    OUTPUT_VARIABLE QLM_SOURCE_DATE_EPOCH OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  if(NOT QLM_SOURCE_DATE_EPOCH)
    set(QLM_SOURCE_DATE_EPOCH 946684800)  # 2000-01-01, for a tree outside git
  endif()
endif()
