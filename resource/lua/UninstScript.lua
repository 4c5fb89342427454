-- Uninstall logic of the demo product, run by the separate uninstaller with the configuration
-- chunk that the installer wrote beside the product.
local function say(format, ...)
  print("[UninstScript] " .. string.format(format, ...))
end

local function step(name)
  say("%s (InstallPath=%s)", name, tostring(InstallPath))
end

function QLMSE_BeforeInit() step("QLMSE_BeforeInit") end
function QLMSE_BeforeInstall() step("QLMSE_BeforeInstall") end

function QLMSE_OnInstall()
  step("QLMSE_OnInstall")
  while Lua_GetProcessId(global_main_app_name) ~= -1 do
    if not Lua_KillAllTaskByName(global_main_app_name) then break end
  end
  Lua_RegVarByCSIDL("COMMPROGRAMS", 23)
  Lua_RegVarByCSIDL("DESKTOP", 16)
  Lua_DelFileRecursive("%COMMPROGRAMS%\\QLM Demo")
  Lua_DeleteFileEx("%DESKTOP%\\QLM Demo.lnk")
  Lua_RegDel("HKLM", global_uninstall_key)
  Lua_RegDel("HKLM", global_product_key)
  say("removed %s: %s", InstallPath, tostring(Lua_DelFileRecursive(InstallPath)))
  Lua_Logout("uninstalled " .. global_product_name)
end

function QLMSE_BeforeComplete() step("QLMSE_BeforeComplete") end
function QLMSE_AfterComplete() step("QLMSE_AfterComplete") end
