-- The extraction benchmark's installer: extracts its payload resource, or the archive named
-- by QLM_BENCH_ARCHIVE in file mode, into the installation folder.
function QLMSE_OnInstall()
  local archive = os.getenv("QLM_BENCH_ARCHIVE")
  local ok
  if archive and archive ~= "" then
    ok = Lua_UnCompress7z(archive, InstallPath, true)
  else
    ok = Lua_UnCompress7z("App.7z", InstallPath)
  end
  print("[bench] Lua_UnCompress7z: " .. tostring(ok))
end
