-- Configuration of the test installer: every global comes from the environment, so one
-- installer covers every row of the start-up decisions.
local function env(name, default)
  local value = os.getenv(name)
  if value == nil or value == "" then return default end
  return value
end

global_product_name = "QLM Test"
global_install_mutex_guid = env("QLM_TEST_MUTEX_NAME", "")
global_app_id = tonumber(env("QLM_TEST_APP_ID", "0"))
global_enable_ss_install = env("QLM_TEST_ENABLE_SS", "false") == "true"
global_ss_install = env("QLM_TEST_SS", "false") == "true"
global_install_path = env("QLM_TEST_INSTALL_PATH", "")
