// Selects a GDI object into a device context for the life of the object and puts the one it
// replaced back; an object made for this one drawing may be handed over to be deleted after.
#pragma once
#include <windows.h>

class GdiSelection {
 public:
  enum Ownership { kBorrowed, kOwned };

  // A null object (a failed Create... call) selects nothing.
  GdiSelection(HDC dc, HGDIOBJ object, Ownership ownership = kBorrowed)
      : dc_(dc),
        object_(ownership == kOwned ? object : nullptr),
        old_(object != nullptr ? SelectObject(dc, object) : nullptr) {}
  ~GdiSelection() {
    if (old_ != nullptr) SelectObject(dc_, old_);
    if (object_ != nullptr) DeleteObject(object_);
  }
  GdiSelection(const GdiSelection&) = delete;
  GdiSelection& operator=(const GdiSelection&) = delete;

 private:
  HDC dc_;
  HGDIOBJ object_;
  HGDIOBJ old_;
};
