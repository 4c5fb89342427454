-- Configuration of the demo product: globals read by the installer before and during the
-- installation. The uninstaller runs this chunk too, before the uninstall chunk.
global_product_name = "QLM Demo"
global_app_id = 0
global_install_mutex_guid = ""
global_enable_ss_install = true
global_ss_install = false
-- The folder name that the folder picker appends to a chosen folder.
global_install_basepath = "QLMDemo"
global_install_path = os.getenv("TEMP") .. "\\QLMDemo"
global_main_app_name = "DemoApp.exe"
global_start_parameter = ""
global_startuseexplorer_level = false
global_show_completewindow = true
global_licence_url = "https://example.com/qlmdemo/licence.html"
-- The auto-start option of the welcome view: shown, and preset.
global_startup_check_visable = false
global_startup_check = false
global_need_disk_space = "10"
global_product_version = "1.0.0"
global_publisher = "QLM Demo Team"
-- Registry keys of the product (HKLM, the installer's 32-bit view).
global_product_key = "Software\\QLMDemo"
global_uninstall_key = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\QLMDemo"
-- The product's programs, ended before their files are replaced or removed.
global_product_processes = { global_main_app_name, "helper.exe" }

-- Ends every running program of the product and tells `report` how many of each it ended.
-- Each Lua_KillAllTaskByName ends the first process found, so it is repeated while one remains.
function EndProductProcesses(report)
  for _, image in ipairs(global_product_processes) do
    local ended = 0
    while Lua_GetProcessId(image) ~= -1 and ended < 16 do
      Lua_KillAllTaskByName(image)
      ended = ended + 1
    end
    report(image, ended)
  end
end
