#include <gtest/gtest.h>

#include "debugcapture.h"

int main(int argc, char** argv) {
  DebugCapture::InstallProcessHandler();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
