# Imported targets for the dependencies that scripts/build-deps puts into .deps/prefix.
set(QLM_DEPS_PREFIX "${CMAKE_SOURCE_DIR}/.deps/prefix")
if(NOT EXISTS "${QLM_DEPS_PREFIX}/lib/liblua.a")
  message(FATAL_ERROR "Dependencies are missing: run scripts/bootstrap first")
endif()
set(QLM_LUA_SRC_DIR "${QLM_DEPS_PREFIX}/lua-src")
set(QLM_LZMA_SRC_DIR "${QLM_DEPS_PREFIX}/lzma-src")

function(qlm_import_lib name file)
  add_library(${name} STATIC IMPORTED GLOBAL)
  set_target_properties(${name} PROPERTIES IMPORTED_LOCATION "${QLM_DEPS_PREFIX}/lib/${file}")
endfunction()

# Lua is compiled as C++: its headers are included without extern "C".
qlm_import_lib(qlm_dep_lua liblua.a)
set_target_properties(qlm_dep_lua PROPERTIES
  INTERFACE_INCLUDE_DIRECTORIES "${QLM_DEPS_PREFIX}/include/lua"
  INTERFACE_COMPILE_DEFINITIONS "LUA_COMPAT_ALL")

qlm_import_lib(qlm_dep_lzma7z liblzma7z.a)
set_target_properties(qlm_dep_lzma7z PROPERTIES
  INTERFACE_INCLUDE_DIRECTORIES "${QLM_LZMA_SRC_DIR}")

qlm_import_lib(qlm_dep_minizip libminizip.a)
set_target_properties(qlm_dep_minizip PROPERTIES
  INTERFACE_INCLUDE_DIRECTORIES "${QLM_DEPS_PREFIX}/include/minizip"
  INTERFACE_LINK_LIBRARIES "z")

qlm_import_lib(qlm_dep_curl libcurl.a)
set_target_properties(qlm_dep_curl PROPERTIES
  INTERFACE_INCLUDE_DIRECTORIES "${QLM_DEPS_PREFIX}/include"
  INTERFACE_COMPILE_DEFINITIONS "CURL_STATICLIB")

# Libraries of the system that are not among its known libraries (immune to a copy planted
# beside the program) are delay-loaded: GDI+ (failing with its status Win32Error), the common
# controls (FALSE) and bcrypt, libcurl's random numbers (STATUS_NOT_FOUND).
qlm_delay_import(gdiplus 7)
qlm_delay_import(comctl32 0)
qlm_delay_import(bcrypt 0xC0000225)
set_target_properties(qlm_dep_curl PROPERTIES
  INTERFACE_LINK_LIBRARIES "ws2_32;qlm_delay_bcrypt;advapi32;crypt32")

# spdlog, fmt and stb are header-only; the private include folder exposes only them.
add_library(qlm_dep_headers INTERFACE)
target_include_directories(qlm_dep_headers SYSTEM INTERFACE "${QLM_DEPS_PREFIX}/include")
target_compile_definitions(qlm_dep_headers INTERFACE FMT_HEADER_ONLY SPDLOG_FMT_EXTERNAL)

qlm_import_lib(qlm_dep_gtest libgtest.a)
qlm_import_lib(qlm_dep_gmock libgmock.a)
qlm_import_lib(qlm_dep_gtest_main libgtest_main.a)
set_target_properties(qlm_dep_gtest PROPERTIES
  INTERFACE_INCLUDE_DIRECTORIES "${QLM_DEPS_PREFIX}/include")
