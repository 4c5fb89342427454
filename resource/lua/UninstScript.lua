-- Uninstall logic of the demo product, run by the product's uninstaller (Uninstall.exe) after
-- the configuration chunk that the installer wrote beside it. The uninstaller sets InstallPath
-- and global_install_path to the folder it was started from, and global_ss_install to whether
-- it runs silently.
local function say(format, ...)
  print("[UninstScript] " .. string.format(format, ...))
end

local function step(name)
  say("%s (InstallPath=%s)", name, tostring(InstallPath))
end

local function log_step(format, ...)
  local text = string.format(format, ...)
  Lua_Logout(text)
  say("%s", text)
end

-- The folder is deleted with all it holds only when the product's key records it as the
-- installation folder: an uninstaller copied elsewhere must not empty a stranger's folder.
local function is_installation_folder(path)
  local recorded = Lua_RegQuery("HKLM", global_product_key, "InstallPath")
  return type(recorded) == "string" and recorded:lower() == path:lower()
end

function QLMSE_BeforeInit() step("QLMSE_BeforeInit") end
function QLMSE_BeforeInstall() step("QLMSE_BeforeInstall") end

function QLMSE_OnInstall()
  step("QLMSE_OnInstall")
  -- The product's programs are ended before their files are deleted.
  EndProductProcesses(function(image, ended) log_step("ended %d running %s", ended, image) end)
  local removeFolder = is_installation_folder(InstallPath)
  Lua_RegVarByCSIDL("COMMPROGRAMS", 23)
  Lua_RegVarByCSIDL("DESKTOP", 16)
  Lua_DelFileRecursive("%COMMPROGRAMS%\\QLM Demo")
  Lua_DeleteFileEx("%DESKTOP%\\QLM Demo.lnk")
  Lua_RegDel("HKLM", global_uninstall_key)
  Lua_RegDel("HKLM", global_product_key)
  log_step("removed the shortcuts and the keys HKLM\\%s and HKLM\\%s", global_uninstall_key,
    global_product_key)
  if removeFolder then
    Lua_DelFileRecursive(InstallPath)
    log_step("removed %s: %s", InstallPath, tostring(not Lua_PathFileExists(InstallPath)))
  else
    log_step("%s is not the recorded installation folder: left in place", InstallPath)
  end
  Lua_Logout("uninstalled " .. global_product_name)
end

function QLMSE_BeforeComplete() step("QLMSE_BeforeComplete") end
function QLMSE_AfterComplete() step("QLMSE_AfterComplete") end
