// The one routine through which control texts are drawn and measured: with GDI+ (layered
// windows, or when the skin asks for it) or with GDI's DrawTextW.
#pragma once
#include <windows.h>

#include <string>

class CSkinResources;

// Style bit of an ellipsis in the middle of the text (beside the DrawTextW DT_ flags).
constexpr UINT kTextMiddleEllipsis = 0x80000000;

// Draws text in rect with the colour (0xAARRGGBB; GDI drops the alpha), the font of the id and
// the DT_ style; with DT_CALCRECT it measures instead and writes the measured rectangle back
// into rect. `senderIsEdit` keeps the measuring of edit controls on GDI. `roundMeasure` rounds
// the measured size instead of the usual "+0.5, +1".
void RenderText(HDC dc, CSkinResources* resources, RECT& rect, const std::wstring& text,
                DWORD color, int font, UINT style, bool senderIsEdit = false,
                bool roundMeasure = false);
