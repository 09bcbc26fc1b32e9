#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "chart/simfile_tokenizer.h"
#include "chart/text_buffer.h"
#include "support/dwi_fixture.h"

namespace pavaneflow {
namespace {

using test::Utf8;

// Every tag as "NAME[param|param]@line", or "NAME@line" without parameters, joined by blanks.
std::string Tags(std::string_view bytes) {
  TextBuffer input{std::string(bytes)};
  SimfileTokenizer tokenizer(input);
  SimfileTag tag;
  std::string text;
  while (tokenizer.Next(tag)) {
    if (!text.empty()) text += ' ';
    text += Utf8(tag.name);
    if (!tag.params.empty()) {
      text += '[';
      for (std::size_t i = 0; i < tag.params.size(); ++i) {
        if (i > 0) text += '|';
        text += Utf8(tag.params[i]);
      }
      text += ']';
    }
    text += '@' + std::to_string(tag.line);
  }
  return text;
}

TEST(SimfileTokenizer, CutsTagsAsTheGamesDo) {
  struct Case {
    const char* name;
    std::string_view bytes;
    const char* tags;
  } const cases[] = {
      {"plain", "#TITLE:Song;#ARTIST:Me;", "TITLE[Song]@1 ARTIST[Me]@1"},
      {"byte-order mark and junk", "\xEF\xBB\xBFjunk; here\n#TITLE:Song;", "TITLE[Song]@2"},
      {"names are case-insensitive and trimmed", "# title :  Song \r\n;", "TITLE[Song]@1"},
      {"parameters trimmed of blanks and line ends", "#NOTES:\n  dance-single:\n  desc:\r\n;",
       "NOTES[dance-single|desc|]@1"},
      {"comment inside a value", "#TITLE:A // B;C\n;", "TITLE[A]@1"},
      {"comment outside hides a tag", "//#TITLE:X;\n#ARTIST:Y;", "ARTIST[Y]@2"},
      {"single slash is text", "#TITLE:A/B;", "TITLE[A/B]@1"},
      {"escapes are literal", "#TITLE:a\\:b\\;c\\#d\\/\\/e;", "TITLE[a:b;c#d//e]@1"},
      {"hash inside a line is text", "#TITLE:A#B;", "TITLE[A#B]@1"},
      {"missing semicolon ends before a tag line", "#TITLE:Song\n#ARTIST:Me;",
       "TITLE[Song]@1 ARTIST[Me]@2"},
      {"a tag line may be indented", "#TITLE:Song\n \t#ARTIST:Me;", "TITLE[Song]@1 ARTIST[Me]@2"},
      {"missing semicolon at the end", "#TITLE:Song\nmore", "TITLE[Song\nmore]@1"},
      {"a value goes on over lines", "#BPMS:0=120\n,4=240;", "BPMS[0=120\n,4=240]@1"},
      {"no parameters", "#NOTEDATA;#NOTEDATA:;", "NOTEDATA@1 NOTEDATA[]@1"},
      {"a NUL ends its line", std::string_view("#TITLE:A\0B;\n;", 13), "TITLE[A]@1"},
      {"a NUL is not escaped", std::string_view("#TITLE:A\\\0B;\n;", 14), "TITLE[A]@1"},
      {"a NUL ends a line between tags", std::string_view("x\\\0#TITLE:A;\n#ARTIST:B;", 23),
       "ARTIST[B]@2"},
      {"nothing", "no tags at all", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Tags(c.bytes), c.tags) << c.name;
  }
}

TEST(SimfileTokenizer, ParameterLinesCountFromTheirFirstCharacter) {
  TextBuffer input{std::string("#NOTES:\r\n\r\n  1000\r\n0000\r\n:\n\nx;")};
  SimfileTokenizer tokenizer(input);
  SimfileTag tag;
  ASSERT_TRUE(tokenizer.Next(tag));
  ASSERT_EQ(tag.params.size(), 2u);
  EXPECT_EQ(Utf8(tag.params[0]), "1000\n0000");
  EXPECT_EQ(tag.paramLines[0], 3);
  EXPECT_EQ(tag.paramLines[1], 7);
  EXPECT_FALSE(tokenizer.Next(tag));
}

}  // namespace
}  // namespace pavaneflow
