#include "uidpi.h"

void CDPI::SetScale(int scale) {
  if (firstScale_ == 0) firstScale_ = scale;
  scale_ = scale;
}

RECT CDPI::Scale(const RECT& rect) const {
  LONG left = Scale(rect.left);
  LONG top = Scale(rect.top);
  return RECT{left, top, left + Scale(rect.right - rect.left), top + Scale(rect.bottom - rect.top)};
}
