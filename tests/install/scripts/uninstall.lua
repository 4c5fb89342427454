-- Uninstall chunk carried by the test installer; this program never runs it.
function QLMSE_BeforeInit() end
