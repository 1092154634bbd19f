// The messages of a failed attempt to open a web address.
#include "app/weblink.hpp"

#include <gtest/gtest.h>

namespace tw {
namespace {

TEST(WebLinkTest, SuccessGivesNoMessage) {
  EXPECT_FALSE(WebLinkFailureMessage(33, u"https://example.com/").has_value());
  EXPECT_FALSE(WebLinkFailureMessage(42, u"https://example.com/").has_value());
}

TEST(WebLinkTest, FailuresAreExplainedByTheirCode) {
  struct Case {
    int32_t result;
    const char16_t* address;
    const char16_t* text;
  };
  const Case cases[] = {
      {31, u"https://example.com/manual.HTML",
       u"Error launching web browser, error code = 31.\r\n\r\n"
       u"File extension 'html' is not associated with any application program."},
      {31, u"C:\\docs.v2\\readme",
       u"Error launching web browser, error code = 31.\r\n\r\n"
       u"File extension '' is not associated with any application program."},
      {8, u"https://example.com/",
       u"Error launching web browser, error code = 8.\r\n\r\nOut of memory."},
      {2, u"https://example.com/",
       u"Error launching web browser, error code = 2.\r\n\r\nPlease try once more."},
      {5, u"https://example.com/", u"Error launching web browser, error code = 5."},
      {32, u"https://example.com/", u"Error launching web browser, error code = 32."},
      {0, u"https://example.com/", u"Error launching web browser, error code = 0."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.result);
    std::optional<Message> m = WebLinkFailureMessage(c.result, c.address);
    ASSERT_TRUE(m.has_value());
    EXPECT_EQ(m->text, c.text);
    EXPECT_EQ(m->caption, u"Cannot launch web browser");
    EXPECT_EQ(m->icon, MsgIcon::Warning);
    EXPECT_EQ(m->buttons, MsgButtons::Ok);
  }
}

TEST(WebLinkTest, ExtensionIsTakenAfterTheLastBackslash) {
  EXPECT_EQ(AddressExtension(u"C:\\site.d\\Page.PHP"), u"php");
  EXPECT_EQ(AddressExtension(u"C:\\site.d\\page"), u"");
  EXPECT_EQ(AddressExtension(u"www.example.com"), u"com");
}

}  // namespace
}  // namespace tw
