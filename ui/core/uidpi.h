// The DPI scale of one paint manager: a percentage (100 at 96 DPI) by which every skin size
// written at 100 % is scaled when used.
#pragma once
#include <windows.h>

class CDPI {
 public:
  enum Awareness { kUnaware = 0, kSystemAware = 1, kPerMonitorAware = 2 };

  CDPI() = default;
  virtual ~CDPI() = default;

  int GetScale() const { return awareness_ == kUnaware ? 100 : scale_; }
  // Sets the scale in percent; the first value set is remembered.
  void SetScale(int scale);
  int GetScaleAtFirstSetting() const { return firstScale_; }
  // The DPI for the current scale (96 when unaware).
  int GetDPI() const { return awareness_ == kUnaware ? 96 : MulDiv(scale_, 96, 100); }
  void SetDPI(int dpi) { SetScale(MulDiv(dpi, 100, 96)); }
  Awareness GetAwareness() const { return awareness_; }
  void SetAwareness(Awareness awareness) { awareness_ = awareness; }

  int Scale(int value) const { return awareness_ == kUnaware ? value : MulDiv(value, scale_, 100); }
  SIZE Scale(SIZE size) const { return SIZE{Scale(size.cx), Scale(size.cy)}; }
  // Left and top, width and height are scaled; right and bottom follow from them.
  RECT Scale(const RECT& rect) const;

 private:
  int scale_ = 100;
  int firstScale_ = 0;
  Awareness awareness_ = kPerMonitorAware;
};
