#include <gtest/gtest.h>

#include <string>

#include "uimarkup.h"

namespace {

struct ParseCase {
  const char* label;
  std::wstring text;
  const wchar_t* error;  // null: the document loads
  const wchar_t* location;
};

const ParseCase kParseCases[] = {
    {"single quotes", L"<Window a='1'/>", L"Expected attribute value", L"'1'/>"},
    {"unmatched end tag", L"<Window><Box></Boz></Window>", L"Unmatched closing tag", L"Boz></Window>"},
    {"hyphenated attribute", L"<Window text-color=\"1\"/>", L"Error while parsing attributes",
     L"-color=\"1\"/>"},
    {"open root at the end", L"<Window>text", nullptr, nullptr},
    {"open child of the root at the end", L"<Window><Box>text", nullptr, nullptr},
    {"open grandchild after text", L"<Window><Box><Label>text", L"Expected end-tag start", L""},
    {"open grandchild list", L"<Window><Box><Label/> ", L"Expected start tag", L""},
    {"text outside an element", L"hello", L"Expected start tag", L"hello"},
    {"name runs to the end", L"<Window", L"Error parsing element name", L""},
    {"bad start-tag closing", L"<Window a=\"1\" /x>", L"Expected start-tag closing", L"/x>"},
    {"value runs to the end", L"<Window a=\"1", L"Error while parsing attribute string", L""},
    {"declaration and comments", L"<?xml version=\"1.0\"?><!-- a --><Window><!-- b --><Box/></Window>",
     nullptr, nullptr},
    {"only whitespace", L" \r\n\t ", nullptr, nullptr},
};

}  // namespace

TEST(Markup, ParseCases) {
  for (const ParseCase& c : kParseCases) {
    CMarkup markup;
    bool loaded = markup.LoadFromText(c.text.c_str(), c.text.size());
    EXPECT_EQ(loaded, c.error == nullptr) << c.label;
    if (c.error != nullptr) {
      EXPECT_EQ(markup.LastErrorMessage(), c.error) << c.label;
      EXPECT_EQ(markup.LastErrorLocation(), c.location) << c.label;
      EXPECT_FALSE(markup.Root().IsValid()) << c.label;
    } else {
      EXPECT_TRUE(markup.LastErrorMessage().empty()) << c.label;
    }
  }
}

TEST(Markup, TreeNamesAndAttributes) {
  std::wstring text =
      L"<?xml version=\"1.0\"?>\n<!-- skin -->\n<Window size=\"400,300\" caption=\"Setup &amp; go\">"
      L"<VerticalLayout><Label name=\"a\" text=\"&lt;&gt;&quot;&apos;&#65;&amp\"/>"
      L"<Button name=\"b\"></Button></VerticalLayout><Font id=\"0\" /></Window>";
  CMarkup markup;
  ASSERT_TRUE(markup.LoadFromText(text.c_str(), text.size())) << markup.LastErrorMessage().c_str();
  CMarkupElement root = markup.Root();
  ASSERT_TRUE(root.IsValid());
  EXPECT_EQ(root.Name(), L"Window");
  EXPECT_EQ(root.AttributeCount(), 2);
  EXPECT_EQ(root.AttributeName(1), L"caption");
  EXPECT_EQ(root.AttributeValue(1), L"Setup & go");
  EXPECT_EQ(root.AttributeValue(L"size"), L"400,300");
  EXPECT_EQ(root.AttributeValue(L"Size"), L"");
  EXPECT_EQ(root.AttributeValue(2), L"");
  EXPECT_FALSE(root.NextSibling().IsValid());

  CMarkupElement layout = root.FirstChild();
  EXPECT_EQ(layout.Name(), L"VerticalLayout");
  EXPECT_FALSE(layout.HasAttributes());
  CMarkupElement label = layout.FirstChild();
  EXPECT_EQ(label.Name(), L"Label");
  // Named entities are decoded; a numeric reference and an unterminated one stay as written.
  EXPECT_EQ(label.AttributeValue(L"text"), L"<>\"'&#65;&amp");
  EXPECT_EQ(label.AttributeValue(L"name"), L"a");
  CMarkupElement button = label.NextSibling();
  EXPECT_EQ(button.Name(), L"Button");
  EXPECT_EQ(button.AttributeValue(L"name"), L"b");
  EXPECT_FALSE(button.HasChildren());
  CMarkupElement font = layout.NextSibling();
  EXPECT_EQ(font.Name(), L"Font");
  EXPECT_EQ(font.AttributeValue(L"id"), L"0");

  CMarkupElement invalid;
  EXPECT_FALSE(invalid.FirstChild().IsValid());
  EXPECT_EQ(invalid.Name(), L"");
  EXPECT_EQ(invalid.AttributeCount(), 0);
}

TEST(Markup, SixtyFifthAttributeIsInvisible) {
  std::wstring text = L"<Window";
  for (int i = 1; i <= 65; ++i) text += L" a" + std::to_wstring(i) + L"=\"v" + std::to_wstring(i) + L"\"";
  text += L"/>";
  CMarkup markup;
  ASSERT_TRUE(markup.LoadFromText(text.c_str(), text.size()));
  CMarkupElement root = markup.Root();
  EXPECT_EQ(root.AttributeCount(), 64);
  EXPECT_EQ(root.AttributeValue(L"a64"), L"v64");
  EXPECT_EQ(root.AttributeValue(L"a65"), L"");
  EXPECT_EQ(root.AttributeValue(64), L"");
}

TEST(Markup, ManyElementsGrowTheTable) {
  std::wstring text = L"<Window>";
  for (int i = 0; i < 2000; ++i) text += L"<Item n=\"" + std::to_wstring(i) + L"\"/>";
  text += L"</Window>";
  CMarkup markup;
  ASSERT_TRUE(markup.LoadFromText(text.c_str(), text.size()));
  int count = 0;
  CMarkupElement last;
  for (CMarkupElement e = markup.Root().FirstChild(); e.IsValid(); e = e.NextSibling()) {
    ++count;
    last = e;
  }
  EXPECT_EQ(count, 2000);
  EXPECT_EQ(last.AttributeValue(L"n"), L"1999");
}

TEST(Markup, ByteEncodings) {
  const char utf8[] = "<Window text=\"\xC3\xA4\"/>";
  std::string withBom = "\xEF\xBB\xBF" + std::string(utf8);
  struct {
    const char* label;
    std::string bytes;
    int encoding;
  } cases[] = {
      {"utf-8", utf8, CMarkup::kUtf8},
      {"utf-8 with BOM", withBom, CMarkup::kUtf8},
      {"utf-16 LE", std::string("\xFF\xFE<\0W\0/\0>\0", 10), CMarkup::kUtf16},
      {"utf-16 BE", std::string("\xFE\xFF\0<\0W\0/\0>", 10), CMarkup::kUtf16},
      {"ansi", "<W/>", CMarkup::kAnsi},
  };
  for (const auto& c : cases) {
    CMarkup markup;
    ASSERT_TRUE(markup.LoadFromBytes(reinterpret_cast<const BYTE*>(c.bytes.data()),
                                     static_cast<DWORD>(c.bytes.size()), c.encoding))
        << c.label;
    ASSERT_TRUE(markup.Root().IsValid()) << c.label;
    if (c.encoding == CMarkup::kUtf8) {
      EXPECT_EQ(markup.Root().AttributeValue(L"text"), L"\u00E4") << c.label;
    } else {
      EXPECT_EQ(markup.Root().Name(), L"W") << c.label;
    }
  }
  // UTF-16 without a byte-order mark: an empty document without root.
  CMarkup noMark;
  EXPECT_TRUE(noMark.LoadFromBytes(reinterpret_cast<const BYTE*>("<\0W\0/\0>\0"), 8, CMarkup::kUtf16));
  EXPECT_FALSE(noMark.Root().IsValid());
}

TEST(Markup, FailureEmptiesTheDocumentAndItCanBeReused) {
  CMarkup markup(L"<A/>", 4);
  ASSERT_TRUE(markup.Root().IsValid());
  EXPECT_FALSE(markup.LoadFromText(L"<A></B>", 7));
  EXPECT_FALSE(markup.Root().IsValid());
  EXPECT_TRUE(markup.LoadFromText(L"<C/>", 4));
  EXPECT_EQ(markup.Root().Name(), L"C");
  EXPECT_TRUE(markup.LastErrorMessage().empty());
}

TEST(Markup, ElementsLeftOpenAtTheEndKeepTheirNames) {
  std::wstring text = L"<Window size=\"1,2\"><Box>text";
  CMarkup markup;
  ASSERT_TRUE(markup.LoadFromText(text.c_str(), text.size()));
  EXPECT_EQ(markup.Root().Name(), L"Window");
  EXPECT_EQ(markup.Root().AttributeValue(L"size"), L"1,2");
  EXPECT_EQ(markup.Root().FirstChild().Name(), L"Box");
}
