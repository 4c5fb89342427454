-- Configuration of the window test installer; the folder comes from the environment.
global_product_name = "QLM Window Test"
global_install_mutex_guid = "QLMWindowTest"
global_enable_ss_install = false
global_install_basepath = "QLMWindowTest"
global_install_path = os.getenv("QLM_TEST_INSTALL_PATH") or ""
global_main_app_name = "qlm_test_launchprobe.exe"
global_start_parameter = "--from-installer 1"
global_startuseexplorer_level = false
global_show_completewindow = true
global_need_disk_space = "1024"
global_licence_url = ""
