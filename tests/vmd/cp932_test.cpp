#include "vmd/cp932.h"

#include <gtest/gtest.h>

#include <string>

namespace pavaneflow {
namespace {

struct EncodingCase {
  const char* label;
  std::u16string text;
  std::string bytes;
};

TEST(EncodeCp932, EncodesTheNamesAndReplacesWhatHasNoEncoding) {
  const EncodingCase cases[] = {
      {"model", u"初音ミク", "\x8F\x89\x89\xB9\x83\x7E\x83\x4E"},
      {"centre", u"センター", "\x83\x5A\x83\x93\x83\x5E\x81\x5B"},
      {"left foot IK", u"左足ＩＫ", "\x8D\xB6\x91\xAB\x82\x68\x82\x6A"},
      {"right foot IK", u"右足ＩＫ", "\x89\x45\x91\xAB\x82\x68\x82\x6A"},
      {"upper body", u"上半身", "\x8F\xE3\x94\xBC\x90\x67"},
      {"neck", u"首", "\x8E\xF1"},
      {"empty", u"", ""},
      {"ASCII with backslash", u"a\\b", "a\\b"},
      {"half-width katakana", u"ｱ", "\xB1"},
      // Characters that the plain Shift_JIS tables lack.
      {"circled one", u"①", "\x87\x40"},
      {"full-width tilde", u"～", "\x81\x60"},
      {"full-width hyphen-minus", u"－", "\x81\x7C"},
      {"wave dash as the full-width tilde", u"〜", "\x81\x60"},
      {"minus sign as the full-width hyphen-minus", u"−", "\x81\x7C"},
      {"yen sign as the backslash", u"¥", "\\"},
      {"overline as the tilde", u"‾~", "~~"},
      {"private use as user-defined", u"\uE000", "\xF0\x40"},
      {"the IBM code of a character that NEC also has", u"纊", "\xFA\x5C"},
      {"no encoding", u"a€b", "a?b"},
      {"pair without encoding is one ?", u"a\U0001F600b", "a?b"},
      {"lone high surrogate", std::u16string{u'a', char16_t{0xD800}, u'b'}, "a?b"},
      {"lone low surrogate", std::u16string{char16_t{0xDC00}, u'b'}, "?b"},
      {"high surrogate at the end", std::u16string{u'a', char16_t{0xDBFF}}, "a?"},
      {"two high surrogates", std::u16string{char16_t{0xD800}, char16_t{0xD800}}, "??"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(EncodeCp932(c.text), c.bytes) << c.label;
  }
}

TEST(DecodeCp932, DecodesNamesAndMarksBytesThatAreNoCharacter) {
  const EncodingCase cases[] = {
      {"model", u"初音ミク", "\x8F\x89\x89\xB9\x83\x7E\x83\x4E"},
      {"bones", u"左足ＩＫ上半身", "\x8D\xB6\x91\xAB\x82\x68\x82\x6A\x8F\xE3\x94\xBC\x90\x67"},
      {"half-width katakana", u"ｱa",
       "\xB1"
       "a"},
      {"circled one", u"①", "\x87\x40"},
      {"full-width hyphen-minus", u"－", "\x81\x7C"},
      {"user-defined as private use", u"\uE000", "\xF0\x40"},
      {"NEC-selected IBM extension", u"纊", "\xED\x40"},
      {"IBM extension", u"纊", "\xFA\x5C"},
      {"lead byte cut off at the end", u"首\uFFFD", "\x8E\xF1\x8E"},
      {"lead byte before ASCII", u"\uFFFD\x01", "\x8E\x01"},
      {"undefined bytes", u"\uFFFD\uFFFDa",
       "\x80\xFF"
       "a"},
      {"empty", u"", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DecodeCp932(c.bytes), c.text) << c.label;
  }
}

}  // namespace
}  // namespace pavaneflow
