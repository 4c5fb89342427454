#include "uiimagedecode.h"

bool DecodeSvgImage(const std::vector<BYTE>&, double, std::vector<BYTE>&, int&, int&) {
  return false;
}
