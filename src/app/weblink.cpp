// Opening a web address in the user's browser (weblink): the message for a failed launch.
#include "app/weblink.hpp"

#include "app/ui.hpp"
#include "text/chars.hpp"
#include "text/strproc.hpp"

namespace tw {

Text AddressExtension(TextView address) {
  size_t slash = address.rfind(u'\\');
  TextView name = slash == TextView::npos ? address : address.substr(slash + 1);
  size_t dot = name.rfind(u'.');
  if (dot == TextView::npos) return {};
  return ToLowerGeneral(name.substr(dot + 1));
}

std::optional<Message> WebLinkFailureMessage(int32_t result, TextView address) {
  if (result > kShellSuccessAbove) return std::nullopt;
  Message m;
  m.caption = Text(kCannotLaunchCaption);
  m.icon = MsgIcon::Warning;
  m.buttons = MsgButtons::Ok;
  m.text = u"Error launching web browser, error code = " + NumberText(result) + u".";
  const Text paragraph = u"\r\n\r\n";
  switch (result) {
    case kShellNoAssociation:
      m.text += paragraph + u"File extension '" + AddressExtension(address) +
                u"' is not associated with any application program.";
      break;
    case kShellOutOfMemory:
      m.text += paragraph + u"Out of memory.";
      break;
    case kShellFileNotFound:
      m.text += paragraph + u"Please try once more.";
      break;
    default:
      break;
  }
  return m;
}

}  // namespace tw
