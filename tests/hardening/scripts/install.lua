-- Install logic of the planting test installer: it loads the product's library by its full
-- path and by its bare name, registers a library in the process and through regsvr32, and
-- starts a program through the desktop shell. Each result goes to the record file
-- (QLM_TEST_RECORD) as "<what> <result>".
local function note(what, result)
  local file = assert(io.open(assert(os.getenv("QLM_TEST_RECORD")), "a"))
  file:write(what, " ", tostring(result), "\n")
  file:close()
end

function QLMSE_OnInstall()
  local product = assert(os.getenv("QLM_PLANT_PRODUCT"))
  -- The bare name first: once a library of that name is loaded, the bare name finds it.
  note("bare-name", DllManager.Load("qlm_plant_product.dll") ~= nil)
  note("table-bare-name", GLibTab["qlm_plant_product.dll"] ~= nil)
  note("full-path", DllManager.Load(product) ~= nil)
  note("regsvr32", Lua_RegSvr32(product, true))
  note("registdll", Lua_RegistDll(product, "/s"))
  note("explorer", Lua_ExplorerExec(assert(os.getenv("QLM_TEST_PROBE")), ""))
end
