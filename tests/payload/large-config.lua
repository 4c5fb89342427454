-- The slow test's installers: silent, into QLM_LARGE_DEST.
global_enable_ss_install = true
global_ss_install = true
global_install_path = os.getenv("QLM_LARGE_DEST")
