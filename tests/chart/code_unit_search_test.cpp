// FindCodeUnit compares several code units at once; it must find the first match wherever it
// lies, and never take a unit that only shares a byte with the one looked for.

#include <gtest/gtest.h>

#include <string>

#include "chart/code_unit_search.h"

namespace pavaneflow {
namespace {

TEST(FindCodeUnit, FindsTheFirstMatchAtEveryPlace) {
  struct Case {
    char16_t unit;
    char16_t decoy;  // shares a byte with `unit`, or comes right below it
  };
  const Case cases[] = {
      {u'\n', u'\u0A0A'}, {u'\n', u'\u010A'}, {u'\n', u'\u0A00'},     {u'\n', u'\t'},
      {u'\0', u'\u0100'}, {u'\0', u'\u0001'}, {u'\uFFFF', u'\uFFFE'}, {u'\u8000', u'\u0080'},
  };
  for (const Case& c : cases) {
    for (std::size_t length = 0; length <= 19; ++length) {
      const std::u16string decoys(length, c.decoy);
      const char16_t* none = decoys.data() + length;
      EXPECT_EQ(FindCodeUnit(decoys.data(), none, c.unit), none);
      for (std::size_t at = 0; at < length; ++at) {
        SCOPED_TRACE(std::to_string(static_cast<int>(c.unit)) + " at " + std::to_string(at) +
                     " of " + std::to_string(length));
        std::u16string text = decoys;
        text[at] = c.unit;
        if (at + 2 < length) text[at + 2] = c.unit;  // a later match must not win
        EXPECT_EQ(FindCodeUnit(text.data(), text.data() + length, c.unit) - text.data(),
                  static_cast<std::ptrdiff_t>(at));
        // Searching from an odd start crosses words differently.
        if (at > 0) {
          EXPECT_EQ(FindCodeUnit(text.data() + 1, text.data() + length, c.unit) - text.data(),
                    static_cast<std::ptrdiff_t>(at));
        }
      }
    }
  }
}

}  // namespace
}  // namespace pavaneflow
