-- Configuration of the planting test installer: silent, into the folder QLM_PLANT_TARGET.
global_product_name = "QLM Planting Test"
global_install_mutex_guid = "QLMPlantingTest"
global_enable_ss_install = true
global_ss_install = true
global_install_basepath = "QLMPlantingTest"
global_install_path = os.getenv("QLM_PLANT_TARGET") or ""
global_main_app_name = "qlm_test_launchprobe.exe"
global_start_parameter = ""
global_startuseexplorer_level = false
global_show_completewindow = false
global_need_disk_space = "1"
global_licence_url = ""
