// The 3014 listener program that the installation tests start and ask.
#pragma once
#include <windows.h>

#include "testsupport.h"

// The listener program: counts message 3014 and answers the count on request.
class ListenerProcess {
 public:
  ListenerProcess();
  HWND Window() const { return window_; }
  // The count of 3014 messages received so far; -1 when the listener does not answer.
  int Count() const;

 private:
  ChildProcess process_;
  HWND window_ = nullptr;
};
