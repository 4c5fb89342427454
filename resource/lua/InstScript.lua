-- Install logic of the demo product. Each hook reports itself on the standard output, so a
-- silent run under Wine shows the order in which the installer called them and what they did.
local function say(format, ...)
  print("[InstScript] " .. string.format(format, ...))
end

local function step(name)
  say("%s (InstallPath=%s)", name, tostring(InstallPath))
end

-- Ends the running product so that its files can be replaced.
local function end_product_processes()
  EndProductProcesses(function(image, ended) say("ended %d running %s", ended, image) end)
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

-- Every step also goes to the installer's daily log file.
local function log_step(format, ...)
  local text = string.format(format, ...)
  Lua_Logout(text)
  say("%s", text)
end

-- Records the installation under the product's key and in the list of installed programs.
local function register_product()
  local path = InstallPath
  Lua_RegAdd("HKLM", global_product_key, "InstallPath", "REG_SZ", path, true)
  Lua_RegAdd("HKLM", global_product_key, "Version", "REG_SZ", global_product_version, true)
  local key = global_uninstall_key
  Lua_RegAdd("HKLM", key, "DisplayName", "REG_SZ", global_product_name, true)
  -- The product's uninstaller runs the two chunks written beside it. The program's path is
  -- quoted: unquoted, a folder name with a blank would split it.
  local uninstaller = '"' .. path .. '\\Uninstall.exe"'
  Lua_RegAdd("HKLM", key, "UninstallString", "REG_SZ", uninstaller, true)
  Lua_RegAdd("HKLM", key, "QuietUninstallString", "REG_SZ", uninstaller .. " /UninstallSilent true",
    true)
  Lua_RegAdd("HKLM", key, "DisplayIcon", "REG_SZ", path .. "\\" .. global_main_app_name, true)
  Lua_RegAdd("HKLM", key, "InstallLocation", "REG_SZ", path, true)
  Lua_RegAdd("HKLM", key, "Publisher", "REG_SZ", global_publisher, true)
  Lua_RegAdd("HKLM", key, "DisplayVersion", "REG_SZ", global_product_version, true)
  -- Size in KiB, as the list of installed programs expects it.
  Lua_RegAdd("HKLM", key, "EstimatedSize", "REG_DWORD", 1024, true)
  log_step("registered %s %s under HKLM\\%s", global_product_name, global_product_version, key)
end

-- Start-menu and desktop shortcuts through folder variables set for this process. The
-- welcome view's desktop-shortcut box sets DesktopShortcutChk; a silent installation makes
-- both.
local function create_shortcuts()
  Lua_RegVarByCSIDL("COMMPROGRAMS", 23)
  Lua_RegVarByCSIDL("DESKTOP", 16)
  local target = InstallPath .. "\\" .. global_main_app_name
  local menu = Lua_CreateShortcut(target, "%COMMPROGRAMS%\\QLM Demo\\QLM Demo.lnk", "",
    "Starts the QLM demo product")
  log_step("start-menu shortcut %s in %s", tostring(menu), Lua_ExpandEnv("%COMMPROGRAMS%"))
  if DesktopShortcutChk ~= false then
    local desktop = Lua_CreateShortcut(target, "%DESKTOP%\\QLM Demo.lnk", "", "QLM Demo")
    log_step("desktop shortcut %s in %s", tostring(desktop), Lua_ExpandEnv("%DESKTOP%"))
  end
end

-- The demo product is small: in a window installation it lingers a moment, so that the
-- install view and its progress can be seen. (Sleep is called through the library table.)
local function linger_for_the_window()
  if global_ss_install then return end
  GLibTab.kernel32:Get("Sleep", "void")(3000)
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
  -- The uninstaller and the configuration and uninstall chunks that it runs go beside the
  -- product.
  for _, file in ipairs({ { "EXE", "UNINSTALL.EXE", "Uninstall.exe" },
                          { "LUA", "GLOBAL_VAR.LUAC", "Global_var.luac" },
                          { "LUA", "UNINSTSCRIPT.LUAC", "UninstScript.luac" } }) do
    local written = Lua_ExtractResource(file[1], file[2], InstallPath .. "\\" .. file[3])
    say("%s written: %s", file[3], tostring(written))
  end
  log_step("payload extracted into %s: %s", InstallPath, tostring(ok))
  register_product()
  create_shortcuts()
  linger_for_the_window()
end

function QLMSE_BeforeComplete() step("QLMSE_BeforeComplete") end
function QLMSE_AfterComplete() step("QLMSE_AfterComplete") end
