-- Configuration of the extraction benchmark's installer: silent, into QLM_BENCH_DEST.
global_enable_ss_install = true
global_ss_install = true
global_install_path = os.getenv("QLM_BENCH_DEST")
