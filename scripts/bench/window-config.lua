-- The window benchmark's installer: a window installation into the folder given by
-- QLM_BENCH_TARGET that starts no product and closes at once after the installation.
global_product_name = "QLM Bench"
global_install_mutex_guid = "QLMBenchWindow"
global_enable_ss_install = false
global_install_basepath = "QLMBench"
global_install_path = os.getenv("QLM_BENCH_TARGET") or ""
global_main_app_name = "none.exe"
global_show_completewindow = false
global_need_disk_space = "1"
