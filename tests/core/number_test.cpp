// Reading decimal numbers: whole numbers that fill a text, leading whole numbers, and the
// leading decimal number of a font size.
#include "core/number.hpp"

#include <gtest/gtest.h>

#include <optional>

namespace tw {
namespace {

struct LeadingCase {
  const char16_t* text;
  int64_t value;
};

class LeadingNumberTest : public testing::TestWithParam<LeadingCase> {};

TEST_P(LeadingNumberTest, ReadsTheLeadingWholeNumber) {
  EXPECT_EQ(LeadingWholeNumber(GetParam().text), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(Cases, LeadingNumberTest,
                         testing::Values(LeadingCase{u"50", 50}, LeadingCase{u"+20", 20},
                                         LeadingCase{u"-3", -3}, LeadingCase{u"", 0},
                                         LeadingCase{u"+", 0}, LeadingCase{u"abc", 0},
                                         LeadingCase{u"12ab", 12}, LeadingCase{u" 7", 7},
                                         LeadingCase{u"99999999999", 2147483647},
                                         LeadingCase{u"-99999999999", -2147483647 - 1}));

TEST(WholeNumberTest, TheWholeTextMustBeTheNumber) {
  struct Case {
    const char* text;
    bool allowMinus;
    std::optional<int64_t> value;
  };
  const Case cases[] = {
      {"0", false, 0},
      {"-1", true, -1},
      {"-1", false, std::nullopt},
      {"", false, std::nullopt},
      {"-", true, std::nullopt},
      {"12a", false, std::nullopt},
      {" 5", false, std::nullopt},
      {"+5", false, std::nullopt},
      {"123456789", false, 123456789},
      {"1234567890", false, std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(ParseWholeNumber(std::string_view(c.text), c.allowMinus, 9), c.value);
    const std::u16string wide(c.text, c.text + std::char_traits<char>::length(c.text));
    EXPECT_EQ(ParseWholeNumber(std::u16string_view(wide), c.allowMinus, 9), c.value);
  }
}

TEST(DecimalNumberTest, DigitsWithAFractionalPart) {
  EXPECT_EQ(LeadingDecimalNumber(u"size=4.5>", 5, 1e6), 4.5);
  EXPECT_EQ(LeadingDecimalNumber(u"x", 0, 1e6), 0.0);
  EXPECT_EQ(LeadingDecimalNumber(u"7.", 0, 1e6), 7.0);
  EXPECT_EQ(LeadingDecimalNumber(u"99999999", 0, 1e6), 1e6);
}

}  // namespace
}  // namespace tw
