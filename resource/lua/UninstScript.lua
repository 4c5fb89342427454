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
  Lua_KillAllTaskByName(global_main_app_name)
  say("removed %s: %s", InstallPath, tostring(Lua_DelFileRecursive(InstallPath)))
end

function QLMSE_BeforeComplete() step("QLMSE_BeforeComplete") end
function QLMSE_AfterComplete() step("QLMSE_AfterComplete") end
