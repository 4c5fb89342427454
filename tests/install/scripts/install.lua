-- Install logic of the test installer: every hook appends one line to the record file
-- (QLM_TEST_RECORD) with the values the host set, and writes a log line with the run's token
-- so that the test can tell the threads apart by the log's thread column.
local record = os.getenv("QLM_TEST_RECORD")
local token = os.getenv("QLM_TEST_TOKEN") or ""

local function note(hook)
  local line = string.format("%s ss=%s InstallPath=%s", hook, tostring(global_ss_install),
                             tostring(InstallPath))
  if record then
    local file = assert(io.open(record, "a"))
    file:write(line, "\n")
    file:close()
  end
  if Lua_Logout then Lua_Logout(string.format("hook %s %s", token, hook)) end
end

function QLMSE_BeforeInit()
  note("BeforeInit")
  if os.getenv("QLM_TEST_BEFOREINIT_SS") == "true" then global_ss_install = true end
end
function QLMSE_BeforeInstall() note("BeforeInstall") end
function QLMSE_OnInstall() note("OnInstall") end
function QLMSE_BeforeComplete() note("BeforeComplete") end
function QLMSE_AfterComplete() note("AfterComplete") end
