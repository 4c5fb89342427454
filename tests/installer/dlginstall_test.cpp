// The installer window in this process with the product's skin: initialisation, the welcome
// view's checks and messages, the installation with its hooks, timers and completion, the
// launch and the close requests. Clicks are real window messages at the controls' places.
#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>

#include "dlginstall.h"
#include "installmgr.h"
#include "qlmscriptengine.h"
#include "scripttest.h"
#include "stringconv.h"
#include "testsupport.h"
#include "uicontainer.h"
#include "uilabel.h"
#include "uioption.h"
#include "uiprogress.h"
#include "uitablayout.h"
#include "uitestwindow.h"

namespace {

constexpr wchar_t kHoldEvent[] = L"QLMInstallerWindowTestHold";

// The configuration and hooks of the test product. Each hook notes its name and thread;
// OnInstall waits while the test holds the event.
const char kScripts[] = R"lua(
local k = GLibTab.kernel32
local thread = k:Get('GetCurrentThreadId', 'uint')
local openEvent = k:Get('OpenEventW', 'ptr')
local wait = k:Get('WaitForSingleObject', 'uint')
local close = k:Get('CloseHandle', 'bool')
record = {}
local function note(hook) record[#record + 1] = hook .. ':' .. thread() end
global_product_name = "QLM Test"
global_install_basepath = "QLMTest"
global_install_path = ""
global_main_app_name = "qlm_test_launchprobe.exe"
global_start_parameter = "--from-installer 1"
global_startuseexplorer_level = false
global_show_completewindow = true
global_need_disk_space = "1024"
global_startup_check_visable = false
global_startup_check = false
global_licence_url = ""
BackUpPath = ""
function QLMSE_BeforeInstall() note("BeforeInstall") end
function QLMSE_OnInstall()
  note("OnInstall")
  local hold = openEvent(0x00100000, 0, WString.New(nil, 'QLMInstallerWindowTestHold'))
  if hold ~= nil and hold ~= 0 then
    wait(hold, 60000)
    close(hold)
  end
end
function QLMSE_BeforeComplete() note("BeforeComplete") end
function QLMSE_AfterComplete() note("AfterComplete") end
)lua";

// Counts message 3014, as the listen window of another program would.
class Listener {
 public:
  Listener() {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = Proc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"QLMWindowTestListener";
    RegisterClassW(&windowClass);
    window_ = CreateWindowW(L"QLMWindowTestListener", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                            windowClass.hInstance, nullptr);
    count_ = 0;
  }
  ~Listener() { DestroyWindow(window_); }
  HWND Window() const { return window_; }
  int Count() const { return count_; }

 private:
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == 3014) {
      ++count_;
      return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
  }
  HWND window_;
  static int count_;
};
int Listener::count_ = 0;

// Notes the time at which message 11032 reached the window.
class DoneWatch : public IMessageFilterUI {
 public:
  LRESULT MessageHandler(UINT message, WPARAM, LPARAM, bool&) override {
    if (message == kMsgInstallWorkerDone) at = GetTickCount();
    return 0;
  }
  DWORD at = 0;
};

class InstallerWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CPaintManagerUI::SetInstance(GetModuleHandleW(nullptr));
    CPaintManagerUI::SetResourcePath((ModuleFolder() + L"..\\Res\\Skin").c_str());
    RunChunk(kScripts);
    RunChunk("global_install_path = " + Quote(target_.Path() + L"\\App"));
    hold_ = CreateEventW(nullptr, TRUE, FALSE, kHoldEvent);
    launchRecord_ = folder_ / L"launch.txt";
    SetEnvironmentVariableW(L"QLM_TEST_LAUNCH_RECORD", launchRecord_.c_str());
  }
  void TearDown() override {
    SetEvent(hold_);
    if (window_ != nullptr && IsWindow(window_->GetHWND())) DestroyWindow(window_->GetHWND());
    PumpMessages(50);
    window_.reset();
    CloseHandle(hold_);
    CPaintManagerUI::Term();
  }

  CDlgInstall& Open(HWND listen = nullptr) {
    window_ = std::make_unique<CDlgInstall>(listen);
    window_->Create(nullptr, L"", 0x96C80000, 0x100, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                    CW_USEDEFAULT, nullptr);
    PumpMessages(100);
    return *window_;
  }
  CControlUI* Find(const wchar_t* name) {
    return window_->GetPaintManager().FindControl(std::wstring(name));
  }
  // A press and release of the left button at the middle of the control.
  void Click(const wchar_t* name) {
    CControlUI* control = Find(name);
    ASSERT_NE(control, nullptr) << name;
    const RECT& rect = control->GetPos();
    ClickAt(window_->GetHWND(), (rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
  }
  bool Alive() const { return IsWindow(window_->GetHWND()) != FALSE; }
  // The view that the tab layout shows.
  std::wstring View() {
    auto* tabs = static_cast<CTabLayoutUI*>(Find(L"TabMain")->GetInterface(L"TabLayout"));
    return tabs->GetItemAt(tabs->GetCurSel())->GetName();
  }
  CProgressUI* Bar() {
    return static_cast<CProgressUI*>(Find(L"ProgressInstall")->GetInterface(L"Progress"));
  }
  // The hooks run so far, with "window" or "worker" for the thread.
  std::string Hooks() {
    RunChunk("record_text = table.concat(record, ' ')");
    std::istringstream notes(
        WideToUtf8(QLMScriptEngine::Instance().GetGlobalString("record_text")));
    const std::string window = std::to_string(GetCurrentThreadId());
    std::string hooks;
    for (std::string note; notes >> note;) {
      const size_t colon = note.find(':');
      if (!hooks.empty()) hooks += ' ';
      hooks += note.substr(0, colon + 1) + (note.substr(colon + 1) == window ? "window" : "worker");
    }
    return hooks;
  }
  void SetFolder(const std::wstring& folder) { Find(L"EditInstallPath")->SetText(folder); }

  TempFolder folder_{L"qlmwin"};
  TempFolder target_{L"qlmtarget"};
  std::wstring launchRecord_;
  HANDLE hold_ = nullptr;
  std::unique_ptr<CDlgInstall> window_;
};

TEST_F(InstallerWindowTest, InitialisesFromTheScriptsAndTheSkin) {
  RunChunk("global_startup_check_visable = true global_startup_check = true");
  CDlgInstall& window = Open();
  wchar_t text[64] = {};
  GetWindowTextW(window.GetHWND(), text, 64);
  EXPECT_STREQ(text, L"QLM Test安装");
  GetClassNameW(window.GetHWND(), text, 64);
  EXPECT_STREQ(text, L"CDlgInstall");
  EXPECT_EQ(GetWindowLongW(window.GetHWND(), GWL_STYLE) & WS_CAPTION, 0);
  RECT client;
  GetClientRect(window.GetHWND(), &client);
  EXPECT_EQ(client.right, 600);
  EXPECT_EQ(client.bottom, 460);
  RECT rect;
  GetWindowRect(window.GetHWND(), &rect);
  MONITORINFO monitor = {};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromWindow(window.GetHWND(), MONITOR_DEFAULTTOPRIMARY), &monitor);
  EXPECT_EQ(rect.left, (monitor.rcWork.left + monitor.rcWork.right) / 2 - 300);
  EXPECT_EQ(rect.top, (monitor.rcWork.top + monitor.rcWork.bottom) / 2 - 230);
  EXPECT_EQ(Find(L"EditInstallPath")->GetText(), target_.Path() + L"\\App");
  auto* autoStart = static_cast<COptionUI*>(Find(L"CheckAutoStartup")->GetInterface(L"Option"));
  EXPECT_TRUE(autoStart->IsVisible());
  EXPECT_TRUE(autoStart->IsSelected());
  EXPECT_EQ(View(), L"VertInitView");
}

TEST_F(InstallerWindowTest, TheAgreementCheckBoxEnablesTheInstallButton) {
  Open();
  CControlUI* install = Find(L"BtnInstall");
  EXPECT_TRUE(install->IsEnabled());
  Click(L"CheckLicence");
  EXPECT_FALSE(install->IsEnabled());
  Click(L"BtnInstall");
  EXPECT_EQ(Hooks(), "");
  Click(L"CheckLicence");
  EXPECT_TRUE(install->IsEnabled());
}

TEST_F(InstallerWindowTest, AnEmptyGlobalKeepsThePlaceholderAndTheInstallIsRefused) {
  RunChunk("global_install_path = ''");
  Open();
  EXPECT_EQ(Find(L"EditInstallPath")->GetText(), L"$global_install_path$");
  MessageBoxAnswerer answerer(L"错误", IDOK);
  Click(L"BtnInstall");
  ASSERT_TRUE(answerer.Wait(5000));
  EXPECT_EQ(answerer.LastText(), L"安装路径非法，请重新修改！");
  EXPECT_EQ(View(), L"VertInitView");
  EXPECT_EQ(Hooks(), "");
}

TEST_F(InstallerWindowTest, TheInstallChecksRefuseWithTheirMessages) {
  const struct {
    const char* label;
    std::wstring folder;
    std::string settings;
    const wchar_t* caption;
    std::wstring text;
  } cases[] = {
      {"UNC path", L"\\\\server\\share\\dir", "", L"错误", L"安装路径非法，请重新修改！"},
      {"missing drive", L"Q:\\dir", "", L"错误", L"安装路径非法，请重新修改！"},
      {"backup folder", target_ / L"App", "BackUpPath = '\\\\\\\\server\\\\backup'", L"错误",
       L"备份路径非法，请重新修改！"},
      {"free space", target_ / L"Big\\", "global_need_disk_space = '9223372036854775807'",
       L"提示", L"磁盘剩余可用空间不足,安装程序需要8796093022208.00MB的空间来完成安装！"},
  };
  for (const auto& c : cases) {
    RunChunk(kScripts);
    RunChunk(c.settings);
    Open();
    SetFolder(c.folder);
    MessageBoxAnswerer answerer(c.caption, IDOK);
    Click(L"BtnInstall");
    ASSERT_TRUE(answerer.Wait(5000)) << c.label;
    EXPECT_EQ(answerer.LastText(), c.text) << c.label;
    EXPECT_EQ(View(), L"VertInitView") << c.label;
    EXPECT_EQ(Hooks(), "") << c.label;
    DestroyWindow(window_->GetHWND());
    PumpMessages(20);
  }
  // The folder of the free-space case was made, and the globals were written (the folder
  // without its trailing backslash) before the check stopped.
  EXPECT_TRUE(FileExists(target_ / L"Big"));
  QLMScriptEngine& engine = QLMScriptEngine::Instance();
  EXPECT_EQ(engine.GetGlobalString("InstallPath"), target_ / L"Big");
  EXPECT_TRUE(engine.GetGlobalBoolean("LicenceChk"));
  EXPECT_TRUE(engine.GetGlobalBoolean("DesktopShortcutChk"));
}

TEST_F(InstallerWindowTest, TheInstallationRunsItsHooksPacesTheBarAndCompletes) {
  Listener listener;
  CDlgInstall& window = Open(listener.Window());
  DoneWatch done;
  window.GetPaintManager().AddMessageFilter(&done);
  Click(L"BtnInstall");
  EXPECT_EQ(View(), L"VertInstallView");
  EXPECT_FALSE(Find(L"HorizCaptionBtn")->IsVisible());
  EXPECT_EQ(QLMScriptEngine::Instance().GetGlobalInteger("global_install_progress_elapse"), 0);

  // Two more every 300 ms.
  ASSERT_TRUE(PumpUntil([&] { return Bar()->GetValue() >= 2; }, 2000));
  int first = Bar()->GetValue();
  PumpMessages(1500);
  int climbed = Bar()->GetValue() - first;
  EXPECT_EQ(climbed % 2, 0);
  EXPECT_GE(climbed, 6);
  EXPECT_LE(climbed, 12);
  // The bar waits at 98 while the worker runs.
  Bar()->SetValue(96);
  PumpMessages(1000);
  EXPECT_EQ(Bar()->GetValue(), 98);
  auto* label = static_cast<CLabelUI*>(Find(L"LabelInstallValue")->GetInterface(L"Label"));
  EXPECT_EQ(label->GetText(), L"安装中...  (98％)");
  // A close request now is refused.
  SendMessageW(window.GetHWND(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(Alive());
  EXPECT_EQ(listener.Count(), 0);

  SetEvent(hold_);
  ASSERT_TRUE(PumpUntil([&] { return View() == L"VertCompleteView"; }, 10000));
  DWORD completed = GetTickCount();
  ASSERT_NE(done.at, 0u);
  EXPECT_LE(completed - done.at, 300u + 150u);
  EXPECT_EQ(label->GetText(), L"安装中...  (100％)");
  EXPECT_TRUE(Find(L"HorizCaptionBtn")->IsVisible());
  EXPECT_EQ(listener.Count(), 1);
  EXPECT_EQ(Hooks(), "BeforeInstall:window OnInstall:worker BeforeComplete:worker");
  // The completion number, digit by digit.
  auto* number = static_cast<CContainerUI*>(Find(L"HorizNumber")->GetInterface(L"Container"));
  ASSERT_EQ(number->GetCount(), 7);
  std::wstring digits;
  for (int i = 0; i < number->GetCount(); ++i) {
    auto* box = static_cast<CContainerUI*>(number->GetItemAt(i)->GetInterface(L"Container"));
    EXPECT_EQ(box->GetFixedWidth(), 28);
    digits += box->GetItemAt(0)->GetText();
  }
  EXPECT_EQ(digits, L"1342395");
  EXPECT_EQ(window.GetPaintManager().GetFocus(), Find(L"BtnStart"));

  // Start launches the product with its parameters, runs AfterComplete and closes.
  CopyFileW((BinFolder() + L"qlm_test_launchprobe.exe").c_str(),
            (target_ / L"App\\qlm_test_launchprobe.exe").c_str(), FALSE);
  Click(L"BtnStart");
  ASSERT_TRUE(PumpUntil([&] { return !Alive(); }, 5000));
  EXPECT_EQ(Hooks(),
            "BeforeInstall:window OnInstall:worker BeforeComplete:worker AfterComplete:window");
  ASSERT_TRUE(PumpUntil([&] { return FileExists(launchRecord_); }, 10000));
  EXPECT_NE(ReadFileBytes(launchRecord_).find("--from-installer 1"), std::string::npos);
  EXPECT_EQ(listener.Count(), 1);
}

TEST_F(InstallerWindowTest, WithoutTheCompletionViewTheProductStartsAtOnce) {
  RunChunk("global_show_completewindow = false");
  CopyFileW((BinFolder() + L"qlm_test_launchprobe.exe").c_str(),
            (target_.Path() + L"\\qlm_test_launchprobe.exe").c_str(), FALSE);
  RunChunk("global_install_path = " + Quote(target_.Path()));
  SetEvent(hold_);
  Open();
  Click(L"BtnInstall");
  ASSERT_TRUE(PumpUntil([&] { return !Alive(); }, 10000));
  EXPECT_EQ(Hooks(),
            "BeforeInstall:window OnInstall:worker BeforeComplete:worker AfterComplete:window");
  EXPECT_TRUE(PumpUntil([&] { return FileExists(launchRecord_); }, 10000));
}

TEST_F(InstallerWindowTest, TheCloseButtonAsksOnTheWelcomeViewAndClosesTheCompletionView) {
  Listener listener;
  Open(listener.Window());
  {
    MessageBoxAnswerer answerer(L"提醒", IDCANCEL);
    Click(L"BtnClose");
    ASSERT_TRUE(answerer.Wait(5000));
    EXPECT_EQ(answerer.LastText(), L"您确定要退出安装程序？");
  }
  PumpMessages(100);
  EXPECT_TRUE(Alive());
  {
    MessageBoxAnswerer answerer(L"提醒", IDOK);
    Click(L"BtnClose");
    ASSERT_TRUE(answerer.Wait(5000));
  }
  ASSERT_TRUE(PumpUntil([&] { return !Alive(); }, 5000));
  EXPECT_EQ(listener.Count(), 0);

  // After completion the close button closes at once, without launch or AfterComplete.
  SetEvent(hold_);
  Open(listener.Window());
  Click(L"BtnInstall");
  ASSERT_TRUE(PumpUntil([&] { return View() == L"VertCompleteView"; }, 10000));
  Click(L"BtnClose");
  ASSERT_TRUE(PumpUntil([&] { return !Alive(); }, 5000));
  EXPECT_EQ(Hooks(), "BeforeInstall:window OnInstall:worker BeforeComplete:worker");
  EXPECT_FALSE(FileExists(launchRecord_));
  EXPECT_EQ(listener.Count(), 1);
}

TEST_F(InstallerWindowTest, ASkinWithoutTheInstallViewStartsNoInstallation) {
  // The product's layout without its install view.
  std::string layout = ReadFileBytes(ModuleFolder() + L"..\\Res\\Skin\\Layout\\Layout.xml");
  size_t begin = layout.find("<VerticalLayout name=\"VertInstallView\"");
  size_t end = layout.find("</VerticalLayout>", layout.find("LabelInstallValue"));
  ASSERT_NE(begin, std::string::npos);
  ASSERT_NE(end, std::string::npos);
  layout.erase(begin, end + 17 - begin);
  TempFolder skin(L"qlmskin");
  CreateDirectoryW((skin / L"Layout").c_str(), nullptr);
  ASSERT_TRUE(WriteFileBytes(skin / L"Layout\\Layout.xml", layout));
  CopyFileW((ModuleFolder() + L"..\\Res\\Skin\\font.xml").c_str(), (skin / L"font.xml").c_str(),
            FALSE);
  CPaintManagerUI::SetResourcePath(skin.Path().c_str());
  Open();
  ASSERT_EQ(Find(L"VertInstallView"), nullptr);
  Click(L"BtnInstall");
  PumpMessages(100);
  EXPECT_TRUE(Alive());
  EXPECT_EQ(View(), L"VertInitView");
  EXPECT_EQ(Hooks(), "");
}

}  // namespace
