-- Install logic of the sample product. Each hook reports itself on the standard output, so
-- a silent run under Wine shows the order in which the installer called them.
local function step(name)
  print(string.format("[InstScript] %s (InstallPath=%s)", name, tostring(InstallPath)))
end

function QLMSE_BeforeInit() step("QLMSE_BeforeInit") end
function QLMSE_BeforeInstall() step("QLMSE_BeforeInstall") end
function QLMSE_OnInstall() step("QLMSE_OnInstall") end
function QLMSE_BeforeComplete() step("QLMSE_BeforeComplete") end
function QLMSE_AfterComplete() step("QLMSE_AfterComplete") end
