#include "uirender.h"

#include <algorithm>

#include "uialphablend.h"
#include "uiskinresources.h"

namespace {

bool IsZero(const RECT& r) { return r.left == 0 && r.top == 0 && r.right == 0 && r.bottom == 0; }

bool Meets(const RECT& a, const RECT& b) {
  RECT common;
  return IntersectRect(&common, &a, &b) != FALSE;
}

// Copies one part of the selected bitmap, blended or by bit-block transfer.
class PartPainter {
 public:
  PartPainter(HDC dc, HDC memory, HBITMAP bitmap, const RECT& paint, bool blend, BYTE fade)
      : dc_(dc), memory_(memory), bitmap_(bitmap), paint_(paint), blend_(blend), fade_(fade) {}

  void Draw(const RECT& dest, const RECT& source) const {
    int width = dest.right - dest.left;
    int height = dest.bottom - dest.top;
    int sw = source.right - source.left;
    int sh = source.bottom - source.top;
    if (width <= 0 || height <= 0 || sw <= 0 || sh <= 0 || !Meets(dest, paint_)) return;
    if (blend_) {
      AlphaBlendFunction alphaBlend = SystemAlphaBlend();
      if (alphaBlend != nullptr) {
        BLENDFUNCTION function = {AC_SRC_OVER, 0, fade_, AC_SRC_ALPHA};
        alphaBlend(dc_, dest.left, dest.top, width, height, memory_, source.left, source.top, sw,
                   sh, function);
      } else {
        SoftwareAlphaBlend(dc_, dest.left, dest.top, width, height, bitmap_, source.left,
                           source.top, sw, sh, fade_);
      }
    } else if (width == sw && height == sh) {
      BitBlt(dc_, dest.left, dest.top, width, height, memory_, source.left, source.top, SRCCOPY);
    } else {
      StretchBlt(dc_, dest.left, dest.top, width, height, memory_, source.left, source.top, sw, sh,
                 SRCCOPY);
    }
  }

 private:
  HDC dc_;
  HDC memory_;
  HBITMAP bitmap_;
  RECT paint_;
  bool blend_;
  BYTE fade_;
};

// The centre part, stretched or tiled; the last tile of a row or column is cut.
void DrawCentre(const PartPainter& painter, const RECT& dest, const RECT& source, bool xTiled,
                bool yTiled) {
  if (!xTiled && !yTiled) {
    painter.Draw(dest, source);
    return;
  }
  const LONG tileWidth = source.right - source.left;
  const LONG tileHeight = source.bottom - source.top;
  if (tileWidth <= 0 || tileHeight <= 0) return;
  // One pass per row of tiles; without y tiling the single row covers the full height.
  for (LONG top = dest.top; top < dest.bottom; top += yTiled ? tileHeight : dest.bottom - dest.top) {
    RECT rowDest = {dest.left, top, dest.right, yTiled ? std::min(top + tileHeight, dest.bottom) : dest.bottom};
    RECT rowSource = source;
    if (yTiled) rowSource.bottom = source.top + (rowDest.bottom - rowDest.top);
    if (!xTiled) {
      painter.Draw(rowDest, rowSource);
      continue;
    }
    for (LONG left = dest.left; left < dest.right; left += tileWidth) {
      RECT tileDest = {left, rowDest.top, std::min(left + tileWidth, dest.right), rowDest.bottom};
      RECT tileSource = rowSource;
      tileSource.right = source.left + (tileDest.right - tileDest.left);
      painter.Draw(tileDest, tileSource);
    }
  }
}

}  // namespace

void DrawImage(HDC dc, HBITMAP bitmap, const RECT& dest, const RECT& paintRect, const RECT& source,
               const RECT& corner, bool alpha, BYTE fade, bool hole, bool xTiled, bool yTiled) {
  if (dc == nullptr || bitmap == nullptr) return;
  HDC memory = CreateCompatibleDC(dc);
  if (memory == nullptr) return;
  HGDIOBJ old = SelectObject(memory, bitmap);
  int oldMode = SetStretchBltMode(dc, COLORONCOLOR);
  PartPainter painter(dc, memory, bitmap, paintRect, alpha || fade < 255, fade);

  const LONG l = corner.left;
  const LONG t = corner.top;
  const LONG r = corner.right;
  const LONG b = corner.bottom;
  // Column and row edges of destination and source.
  const LONG dx[4] = {dest.left, dest.left + l, dest.right - r, dest.right};
  const LONG dy[4] = {dest.top, dest.top + t, dest.bottom - b, dest.bottom};
  const LONG sx[4] = {source.left, source.left + l, source.right - r, source.right};
  const LONG sy[4] = {source.top, source.top + t, source.bottom - b, source.bottom};
  auto part = [&](int column, int row) {
    painter.Draw(RECT{dx[column], dy[row], dx[column + 1], dy[row + 1]},
                 RECT{sx[column], sy[row], sx[column + 1], sy[row + 1]});
  };

  if (!hole) {
    DrawCentre(painter, RECT{dx[1], dy[1], dx[2], dy[2]}, RECT{sx[1], sy[1], sx[2], sy[2]}, xTiled,
               yTiled);
  }
  if (l > 0 && t > 0) part(0, 0);
  if (t > 0) part(1, 0);
  if (r > 0 && t > 0) part(2, 0);
  if (l > 0) part(0, 1);
  if (r > 0) part(2, 1);
  if (l > 0 && b > 0) part(0, 2);
  if (b > 0) part(1, 2);
  if (r > 0 && b > 0) part(2, 2);

  SetStretchBltMode(dc, oldMode);
  SelectObject(memory, old);
  DeleteDC(memory);
}

RECT ImageDestination(const RECT& item, const RECT& dest) {
  if (IsZero(dest)) return item;
  RECT rc = {item.left + dest.left, item.top + dest.top, std::min(item.left + dest.right, item.right),
             std::min(item.top + dest.bottom, item.bottom)};
  if (rc.right < item.left) {
    rc.left = item.right + dest.left;
    rc.right += item.right - item.left;
  }
  if (rc.bottom < item.top) {
    rc.top = item.bottom + dest.top;
    rc.bottom += item.bottom - item.top;
  }
  return rc;
}

bool DrawImageInfo(HDC dc, CSkinResources* manager, const RECT& itemRect, const RECT& paintRect,
                   const DrawInfo* info) {
  if (manager == nullptr || info == nullptr || info->imageName.empty()) return false;
  const ImageInfo* image = manager->FindOrLoadImage(
      info->imageName, info->resourceType.empty() ? nullptr : info->resourceType.c_str(),
      info->mask, false);
  if (image == nullptr) return false;
  RECT dest = ImageDestination(itemRect, info->dest);
  RECT source = info->source;
  if (IsZero(source)) source = RECT{0, 0, image->width, image->height};
  source.right = std::min<LONG>(source.right, image->width);
  source.bottom = std::min<LONG>(source.bottom, image->height);
  if (!Meets(dest, itemRect) || !Meets(dest, paintRect)) return true;
  DrawImage(dc, image->bitmap, dest, paintRect, source, info->corner,
            image->alpha || manager->IsLayered(), info->fade, info->hole, info->xTiled,
            info->yTiled);
  return true;
}

bool DrawImageString(HDC dc, CSkinResources* manager, const RECT& itemRect, const RECT& paintRect,
                     const std::wstring& drawing, const std::wstring& modify) {
  if (manager == nullptr) return false;
  return DrawImageInfo(dc, manager, itemRect, paintRect, manager->GetDrawInfo(drawing, modify));
}
