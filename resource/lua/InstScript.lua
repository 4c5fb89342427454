-- Install logic of the demo product. Each hook reports itself on the standard output, so a
-- silent run under Wine shows the order in which the installer called them and what they did.
local function say(format, ...)
  print("[InstScript] " .. string.format(format, ...))
end

local function step(name)
  say("%s (InstallPath=%s)", name, tostring(InstallPath))
end

-- Ends the running product so that its files can be replaced. Each call ends the first
-- process found with that image name, so it is repeated while one remains.
local function end_product_processes()
  for _, image in ipairs({ global_main_app_name, "helper.exe" }) do
    local ended = 0
    while Lua_GetProcessId(image) ~= -1 and ended < 16 do
      Lua_KillAllTaskByName(image)
      ended = ended + 1
    end
    say("ended %d running %s", ended, image)
  end
end

-- A file that cannot be created (typically a running program) is renamed aside and the
-- extraction creates it once more; if it cannot be moved the file is skipped.
local function on_create_error(path, code)
  local aside = path .. ".old"
  os.remove(aside)
  local moved = os.rename(path, aside)
  say("cannot create %s (error %d): %s", path, code, moved and "moved aside, retrying" or "skipped")
  if moved then
    Lua_DeleteFileAfterReboot(aside)
    return 0
  end
  return 1
end

local function on_file_done(path)
  say("installed %s", path)
end

function QLMSE_BeforeInit() step("QLMSE_BeforeInit") end

function QLMSE_BeforeInstall()
  step("QLMSE_BeforeInstall")
  end_product_processes()
end

function QLMSE_OnInstall()
  step("QLMSE_OnInstall")
  Lua_CreateDirectory(InstallPath)
  local ok = Lua_UnCompress7z("App.7z", InstallPath, false, on_file_done, on_create_error)
  say("payload extracted: %s", tostring(ok))
  -- The configuration and uninstall chunks go beside the product for its uninstaller.
  say("Global_var.luac written: %s",
      tostring(Lua_ExtractResource("LUA", "GLOBAL_VAR.LUAC", InstallPath .. "\\Global_var.luac")))
  say("UninstScript.luac written: %s",
      tostring(Lua_ExtractResource("LUA", "UNINSTSCRIPT.LUAC", InstallPath .. "\\UninstScript.luac")))
end

function QLMSE_BeforeComplete() step("QLMSE_BeforeComplete") end
function QLMSE_AfterComplete() step("QLMSE_AfterComplete") end
