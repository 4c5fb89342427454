// One parsed image attribute string: a bare file name or key='value' pairs such as
// "file='Image/BtnInstall.png' source='0,0,216,36'", with the sizes already scaled for DPI.
#pragma once
#include <windows.h>

#include <map>
#include <string>

class CSkinResources;

struct DrawInfo {
  std::wstring drawingString;
  std::wstring modifyString;
  std::wstring imageName;
  std::wstring resourceType;
  // All zero means that the key was absent.
  RECT dest = {};
  RECT source = {};
  RECT corner = {};
  DWORD mask = 0;
  BYTE fade = 255;
  bool hole = false;
  bool xTiled = false;
  bool yTiled = false;
  bool hsl = false;
  SIZE iconSize = {};
  std::wstring iconAlign;
  // True when the image name was replaced by its variant for the manager's scale.
  bool dpiSized = false;
};

// Splits an image attribute string into its pairs, sorted by key; a later duplicate key is
// ignored. Values are in single or double quotes or run to the next space.
std::map<std::wstring, std::wstring> ParseImageAttributes(const std::wstring& text);

// Parses the drawing string and then the modify string (whose values override) for the
// scale of `manager` (100 without one).
void ParseDrawInfo(const std::wstring& drawing, const std::wstring& modify,
                   CSkinResources* manager, DrawInfo& info);
