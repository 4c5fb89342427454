#include "uimarkup.h"

#include <cstdlib>
#include <cwctype>
#include <vector>

#include "uiresource.h"

namespace {

const std::wstring_view kEmptyView(L"", 0);

bool IsNameChar(wchar_t c) { return std::iswalnum(c) || c == L'_' || c == L':'; }

struct Entity {
  const wchar_t* name;  // between '&' and ';', with the ';'
  size_t length;
  wchar_t value;
};
const Entity kEntities[] = {
    {L"amp;", 4, L'&'}, {L"lt;", 3, L'<'}, {L"gt;", 3, L'>'},
    {L"quot;", 5, L'"'}, {L"apos;", 5, L'\''},
};

}  // namespace

// ---- CMarkupElement ----

CMarkupElement CMarkupElement::FirstChild() const {
  if (owner_ == nullptr) return CMarkupElement();
  uint32_t child = owner_->elements_[index_].firstChild;
  return child == 0 ? CMarkupElement() : CMarkupElement(owner_, child);
}

CMarkupElement CMarkupElement::NextSibling() const {
  if (owner_ == nullptr) return CMarkupElement();
  uint32_t next = owner_->elements_[index_].nextSibling;
  return next == 0 ? CMarkupElement() : CMarkupElement(owner_, next);
}

bool CMarkupElement::HasChildren() const {
  return owner_ != nullptr && owner_->elements_[index_].firstChild != 0;
}

std::wstring_view CMarkupElement::Name() const {
  if (owner_ == nullptr) return kEmptyView;
  return std::wstring_view(owner_->text_.data() + owner_->elements_[index_].start);
}

int CMarkupElement::AttributeCount() {
  if (owner_ == nullptr) return 0;
  if (attributeCount_ == 0) MapAttributes();
  return attributeCount_;
}

std::wstring_view CMarkupElement::AttributeName(int index) {
  if (index < 0 || index >= AttributeCount()) return kEmptyView;
  return std::wstring_view(owner_->text_.data() + attributes_[index].name);
}

std::wstring_view CMarkupElement::AttributeValue(int index) {
  if (index < 0 || index >= AttributeCount()) return kEmptyView;
  return std::wstring_view(owner_->text_.data() + attributes_[index].value);
}

int CMarkupElement::AttributeIndex(std::wstring_view name) {
  int count = AttributeCount();
  for (int i = 0; i < count; ++i) {
    if (std::wstring_view(owner_->text_.data() + attributes_[i].name) == name) return i;
  }
  return -1;
}

std::wstring_view CMarkupElement::AttributeValue(const wchar_t* name, size_t length) {
  return AttributeValue(AttributeIndex(std::wstring_view(name, length)));
}

// Walks from the terminator after the element name to the element's data: whitespace, a
// terminated name, whitespace (the '=' became a space), a quote and a terminated value.
void CMarkupElement::MapAttributes() {
  const wchar_t* text = owner_->text_.data();
  const CMarkup::Element& element = owner_->elements_[index_];
  const wchar_t* p = text + element.start + Name().size() + 1;
  const wchar_t* stop = text + element.data;
  while (p < stop) {
    while (p < stop && *p >= 1 && *p <= 32) ++p;
    if (p >= stop) return;
    uint32_t name = static_cast<uint32_t>(p - text);
    while (p < stop && *p != 0) ++p;
    ++p;
    while (p < stop && *p >= 1 && *p <= 32) ++p;
    if (p >= stop || *p != L'"') return;
    ++p;
    attributes_[attributeCount_].name = name;
    attributes_[attributeCount_].value = static_cast<uint32_t>(p - text);
    if (++attributeCount_ == kMaxAttributes) return;
    while (p < stop && *p != 0) ++p;
    ++p;
  }
}

// ---- CMarkup ----

CMarkup::CMarkup(const wchar_t* text, size_t length) {
  if (text != nullptr && length != 0) LoadFromText(text, length);
}

CMarkup::~CMarkup() { Clear(); }

void CMarkup::Clear() {
  std::free(elements_);
  elements_ = nullptr;
  count_ = 0;
  capacity_ = 0;
  text_.clear();
  end_ = nullptr;
}

CMarkupElement CMarkup::Root() {
  return count_ > 1 ? CMarkupElement(this, 1) : CMarkupElement();
}

bool CMarkup::LoadFromText(const wchar_t* text, size_t length) {
  Clear();
  text_.assign(text != nullptr ? text : L"", text != nullptr ? length : 0);
  return Parse();
}

bool CMarkup::LoadFromBytes(const BYTE* bytes, DWORD size, int encoding) {
  Clear();
  if (encoding == kUtf16) {
    if (size >= 2 && ((bytes[0] == 0xFF && bytes[1] == 0xFE) || (bytes[0] == 0xFE && bytes[1] == 0xFF))) {
      bool bigEndian = bytes[0] == 0xFE;
      size_t units = size / 2 - 1;
      text_.resize(units);
      for (size_t i = 0; i < units; ++i) {
        BYTE a = bytes[2 + i * 2];
        BYTE b = bytes[3 + i * 2];
        text_[i] = bigEndian ? static_cast<wchar_t>((a << 8) | b) : static_cast<wchar_t>((b << 8) | a);
      }
    }
  } else {
    UINT codePage = encoding == kAnsi ? CP_ACP : CP_UTF8;
    if (codePage == CP_UTF8 && size >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) {
      bytes += 3;
      size -= 3;
    }
    if (size > 0) {
      const char* source = reinterpret_cast<const char*>(bytes);
      int units = MultiByteToWideChar(codePage, 0, source, static_cast<int>(size), nullptr, 0);
      if (units > 0) {
        text_.resize(units);
        MultiByteToWideChar(codePage, 0, source, static_cast<int>(size), &text_[0], units);
      }
    }
  }
  return Parse();
}

bool CMarkup::LoadFromFile(std::wstring_view name, int encoding) {
  Clear();
  std::vector<BYTE> bytes;
  switch (ReadSkinMarkupFile(name, bytes)) {
    case SkinFileError::kNone:
      break;
    case SkinFileError::kOpenFile: return FailFile(L"Error opening file");
    case SkinFileError::kEmpty: return FailFile(L"File is empty");
    case SkinFileError::kTooLarge: return FailFile(L"File too large");
    case SkinFileError::kReadFile: return FailFile(L"Could not read file");
    case SkinFileError::kOpenArchive: return FailFile(L"Error opening zip file");
    case SkinFileError::kNotInArchive: return FailFile(L"Could not find ziped file");
    case SkinFileError::kUnzip: return FailFile(L"Could not unzip file");
  }
  return LoadFromBytes(bytes.data(), static_cast<DWORD>(bytes.size()), encoding);
}

bool CMarkup::Parse() {
  errorMessage_.clear();
  errorLocation_.clear();
  // The parser writes terminators into the text; a final terminator keeps every view ended.
  text_.push_back(L'\0');
  end_ = &text_[0] + text_.size() - 1;
  if (AppendElement(0, 0) == kNoElement) return Fail(L"Out of memory", end_);
  wchar_t* p = &text_[0];
  if (!ParseSiblings(0, p)) {
    std::wstring message = errorMessage_;
    std::wstring location = errorLocation_;
    Clear();
    errorMessage_ = message;
    errorLocation_ = location;
    return false;
  }
  return true;
}

uint32_t CMarkup::AppendElement(uint32_t start, uint32_t parent) {
  if (count_ >= capacity_) {
    uint32_t capacity = capacity_ + capacity_ / 2 + 500;
    void* grown = std::realloc(elements_, capacity * sizeof(Element));
    if (grown == nullptr) return kNoElement;
    elements_ = static_cast<Element*>(grown);
    capacity_ = capacity;
  }
  elements_[count_] = Element{start, 0, 0, parent, 0};
  return count_++;
}

wchar_t* CMarkup::SkipWhitespace(wchar_t* p) const {
  while (p < end_ && *p >= 1 && *p <= 32) ++p;
  return p;
}

wchar_t* CMarkup::SkipName(wchar_t* p) const {
  while (p < end_ && IsNameChar(*p)) ++p;
  return p;
}

bool CMarkup::ParseSiblings(uint32_t parent, wchar_t*& p) {
  uint32_t previous = 0;
  p = SkipWhitespace(p);
  for (;;) {
    if (p >= end_ && parent <= 1) return true;
    p = SkipWhitespace(p);
    if (p >= end_ || *p != L'<') return Fail(L"Expected start tag", p);
    if (p + 1 < end_ && p[1] == L'/') return true;
    *p++ = 0;
    p = SkipWhitespace(p);
    if (p < end_ && (*p == L'!' || *p == L'?')) {
      const wchar_t* marker = *p == L'!' ? L"->" : L"?>";
      while (p < end_ && !(p[0] == marker[0] && p + 1 < end_ && p[1] == marker[1])) ++p;
      p = p < end_ ? p + 2 : end_;
      p = SkipWhitespace(p);
      continue;
    }
    uint32_t index = AppendElement(Offset(p), parent);
    if (index == kNoElement) return Fail(L"Out of memory", p);
    if (previous != 0) {
      elements_[previous].nextSibling = index;
    } else if (parent > 0) {
      elements_[parent].firstChild = index;
    }
    previous = index;
    const wchar_t* name = p;
    p = SkipName(p);
    wchar_t* nameEnd = p;
    if (p >= end_) return Fail(L"Error parsing element name", p);
    if (!ParseAttributes(p)) return false;
    p = SkipWhitespace(p);
    if (p + 1 < end_ && p[0] == L'/' && p[1] == L'>') {
      elements_[index].data = Offset(p);
      *p = 0;
      p += 2;
    } else {
      if (p >= end_ || *p != L'>') return Fail(L"Expected start-tag closing", p);
      elements_[index].data = Offset(++p);
      // Ended here, not after the end tag, so that an element left open at the end of the
      // text still has a terminated name.
      *nameEnd = 0;
      wchar_t* dest = p;
      ParseData(p, dest, L'<');
      if (p >= end_ && parent <= 1) return true;
      if (p >= end_ || *p != L'<') return Fail(L"Expected end-tag start", p);
      if (p + 1 < end_ && p[1] != L'/') {
        if (!ParseSiblings(index, p)) return false;
      }
      if (p + 1 < end_ && p[0] == L'<' && p[1] == L'/') {
        *dest = 0;
        *p = 0;
        p = SkipWhitespace(p + 2);
        size_t nameLength = static_cast<size_t>(nameEnd - name);
        if (static_cast<size_t>(end_ - p) < nameLength || wcsncmp(p, name, nameLength) != 0) {
          return Fail(L"Unmatched closing tag", p);
        }
        p = SkipWhitespace(p + nameLength);
        if (p >= end_ || *p != L'>') return Fail(L"Unmatched closing tag", p);
        ++p;
      }
    }
    p = SkipWhitespace(p);
  }
}

bool CMarkup::ParseAttributes(wchar_t*& p) {
  if (*p == L'>' || (p[0] == L'/' && p[1] == L'>')) return true;
  *p++ = 0;
  p = SkipWhitespace(p);
  while (p < end_ && *p != L'>' && *p != L'/') {
    p = SkipName(p);
    wchar_t* nameEnd = p;
    p = SkipWhitespace(p);
    if (p >= end_ || *p != L'=') return Fail(L"Error while parsing attributes", p);
    *p++ = L' ';
    *nameEnd = 0;
    p = SkipWhitespace(p);
    if (p >= end_ || *p != L'"') return Fail(L"Expected attribute value", p);
    ++p;
    wchar_t* dest = p;
    ParseData(p, dest, L'"');
    if (p >= end_) return Fail(L"Error while parsing attribute string", p);
    *dest = 0;
    if (dest != p) *p = L' ';
    p = SkipWhitespace(p + 1);
  }
  return true;
}

void CMarkup::ParseData(wchar_t*& p, wchar_t*& dest, wchar_t stop) {
  while (p < end_ && *p != stop) {
    if (*p == L'&') {
      const Entity* found = nullptr;
      for (const Entity& entity : kEntities) {
        if (static_cast<size_t>(end_ - p - 1) >= entity.length &&
            wcsncmp(p + 1, entity.name, entity.length) == 0) {
          found = &entity;
          break;
        }
      }
      if (found != nullptr) {
        *dest++ = found->value;
        p += found->length + 1;
        continue;
      }
    }
    *dest++ = *p++;
  }
  // Blank the gap that decoding left so that the attribute mapper can walk over it.
  for (wchar_t* q = dest + 1; q < p; ++q) *q = L' ';
}

bool CMarkup::Fail(const wchar_t* message, const wchar_t* location) {
  errorMessage_ = message;
  errorLocation_.assign(location, wcsnlen(location, static_cast<size_t>(end_ - location)));
  return false;
}

bool CMarkup::FailFile(const wchar_t* message) {
  errorMessage_ = message;
  errorLocation_.clear();
  return false;
}
