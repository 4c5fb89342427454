-- The window benchmark's installer: OnInstall extracts the payload into the chosen folder.
function QLMSE_OnInstall()
  Lua_UnCompress7z("App.7z", InstallPath, false, nil, nil)
end
