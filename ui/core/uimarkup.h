// The toolkit's markup reader: parses one wide copy of a document in place and hands out
// element names and attribute values as views into that copy.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

class CMarkup;

// A handle to one element of a parsed document; copied freely, owns nothing. Attribute
// positions are mapped on first access and kept in the handle.
class CMarkupElement {
 public:
  static constexpr int kMaxAttributes = 64;

  CMarkupElement() = default;
  CMarkupElement(CMarkup* owner, uint32_t index) : owner_(owner), index_(index) {}

  bool IsValid() const { return owner_ != nullptr; }
  CMarkupElement FirstChild() const;
  CMarkupElement NextSibling() const;
  bool HasChildren() const;
  std::wstring_view Name() const;

  int AttributeCount();
  bool HasAttributes() { return AttributeCount() > 0; }
  std::wstring_view AttributeName(int index);
  std::wstring_view AttributeValue(int index);
  // Index of the first attribute with exactly this name (case-sensitive); -1 when none has it.
  int AttributeIndex(std::wstring_view name);
  // Value of the first attribute with exactly this name (case-sensitive).
  std::wstring_view AttributeValue(const wchar_t* name, size_t length);
  std::wstring_view AttributeValue(std::wstring_view name) {
    return AttributeValue(name.data(), name.size());
  }

 private:
  void MapAttributes();

  struct AttributePosition {
    uint32_t name;
    uint32_t value;
  };
  CMarkup* owner_ = nullptr;
  uint32_t index_ = 0;
  int attributeCount_ = 0;
  AttributePosition attributes_[kMaxAttributes] = {};
};

class CMarkup {
 public:
  // Encodings of LoadFromBytes and LoadFromFile.
  enum Encoding { kUtf8 = 0, kUtf16 = 1, kAnsi = 2 };
  // Markup files larger than this are refused.
  static constexpr DWORD kMaxFileSize = 4 * 1024 * 1024;

  explicit CMarkup(const wchar_t* text = nullptr, size_t length = 0);
  virtual ~CMarkup();
  CMarkup(const CMarkup&) = delete;
  CMarkup& operator=(const CMarkup&) = delete;

  virtual bool LoadFromText(const wchar_t* text, size_t length);
  virtual bool LoadFromBytes(const BYTE* bytes, DWORD size, int encoding = kUtf8);
  // Reads the file through the skin resource lookup (folder or archive).
  virtual bool LoadFromFile(std::wstring_view name, int encoding = kUtf8);
  virtual void Clear();

  bool IsValid() const { return count_ > 1; }
  const std::wstring& LastErrorMessage() const { return errorMessage_; }
  const std::wstring& LastErrorLocation() const { return errorLocation_; }
  CMarkupElement Root();

 private:
  friend class CMarkupElement;
  struct Element {
    uint32_t start;
    uint32_t firstChild;
    uint32_t nextSibling;
    uint32_t parent;
    uint32_t data;
  };

  bool Parse();
  bool ParseSiblings(uint32_t parent, wchar_t*& p);
  bool ParseAttributes(wchar_t*& p);
  // Decodes text in place up to `stop`; `dest` receives the end of the decoded text.
  void ParseData(wchar_t*& p, wchar_t*& dest, wchar_t stop);
  // Returns the new record's index, or kNoElement when the table cannot grow.
  uint32_t AppendElement(uint32_t start, uint32_t parent);
  static constexpr uint32_t kNoElement = 0xFFFFFFFF;
  wchar_t* SkipWhitespace(wchar_t* p) const;
  wchar_t* SkipName(wchar_t* p) const;
  bool Fail(const wchar_t* message, const wchar_t* location);
  bool FailFile(const wchar_t* message);
  uint32_t Offset(const wchar_t* p) const { return static_cast<uint32_t>(p - text_.data()); }

  std::wstring text_;
  wchar_t* end_ = nullptr;
  Element* elements_ = nullptr;
  uint32_t count_ = 0;
  uint32_t capacity_ = 0;
  std::wstring errorMessage_;
  std::wstring errorLocation_;
};
