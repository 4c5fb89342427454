// Shared helpers of the skin tests: the generated test data and a fixture that leaves the
// process-wide resource settings empty before and after each test.
#pragma once
#include <gtest/gtest.h>

#include <string>

#include "testsupport.h"
#include "uimanager.h"

inline std::wstring UiDataFolder() { return ModuleFolder() + L"uidata\\"; }

class SkinTest : public ::testing::Test {
 protected:
  void SetUp() override { Reset(); }
  void TearDown() override { Reset(); }
  static void Reset() {
    CPaintManagerUI::Term();
    CPaintManagerUI::SetResourcePath(L"");
  }
  // Uses the archive file's bytes as the in-memory skin archive.
  void UseMemoryArchive(const wchar_t* file, const wchar_t* password) {
    archiveBytes_ = ReadFileBytes(UiDataFolder() + file);
    ASSERT_FALSE(archiveBytes_.empty());
    CPaintManagerUI::SetResourceArchive(archiveBytes_.data(), archiveBytes_.size(), password);
  }
  void UseSkinFolder() { CPaintManagerUI::SetResourcePath((UiDataFolder() + L"skin").c_str()); }

  std::string archiveBytes_;
};
