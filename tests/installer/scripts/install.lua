-- Install logic of the window test installer: every hook appends its name and thread to the
-- record file (QLM_TEST_RECORD); OnInstall places the stand-in product and then waits
-- QLM_TEST_PAUSE_MS milliseconds, so that the install view can be seen.
local k = GLibTab.kernel32
local thread = k:Get('GetCurrentThreadId', 'uint')
local sleep = k:Get('Sleep', 'void')

local function note(hook)
  local file = assert(io.open(assert(os.getenv("QLM_TEST_RECORD")), "a"))
  file:write(hook, " ", thread(), "\n")
  file:close()
end

function QLMSE_BeforeInit() note("BeforeInit") end
function QLMSE_BeforeInstall() note("BeforeInstall") end
function QLMSE_OnInstall()
  note("OnInstall")
  Lua_CopyFile(os.getenv("QLM_TEST_PROBE"), InstallPath .. "\\qlm_test_launchprobe.exe")
  sleep(tonumber(os.getenv("QLM_TEST_PAUSE_MS") or "0"))
end
function QLMSE_BeforeComplete() note("BeforeComplete") end
function QLMSE_AfterComplete() note("AfterComplete") end
