-- The slow test's installers: extract the payload into QLM_LARGE_DEST and write the result
-- into the file QLM_LARGE_RESULT.
function QLMSE_OnInstall()
  local ok = Lua_UnCompress7z("App.7z", InstallPath)
  local result = io.open(os.getenv("QLM_LARGE_RESULT"), "w")
  result:write(tostring(ok))
  result:close()
end
