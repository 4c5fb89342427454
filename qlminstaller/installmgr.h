// Runs the five script hooks, one step each, serialised by one recursive lock, with the
// built-in work around them: tool processes ended before QLMSE_OnInstall and the completion
// marker written after QLMSE_BeforeComplete.
#pragma once
#include <windows.h>

#include <mutex>

// Posted by the install worker to the installer window when its steps are done.
constexpr UINT kMsgInstallWorkerDone = 11032;
constexpr WPARAM kInstallCompletionNumber = 1342395;

class CInstallMgr {
 public:
  static CInstallMgr& Instance();
  virtual ~CInstallMgr();

  void BeforeInit();
  void BeforeInstall();
  void OnInstall();
  void BeforeComplete();
  void AfterComplete();

  // Ends every running program whose executable lies in a first-level sub-folder of
  // "<global_install_path>\Tools\".
  void KillAllToolProcess();
  // Writes RykDesktop\Config.ini when the installer's file name contains "@ung".
  void WriteCompletionMarker();
  // Sets a number global only when no step runs at this moment (the script state has no
  // lock of its own); false when the value was not set.
  bool TrySetGlobalNumber(const char* name, double value);

 private:
  CInstallMgr() = default;
  void RunHook(const char* hook);

  std::recursive_mutex mutex_;
};

// Install worker thread procedure (window installation); argument: the installer window.
unsigned __stdcall InstallWorkerProc(void* window);
