// Opening a web address in the user's browser (weblink): the message for a failed launch.
#pragma once

#include <cstdint>
#include <optional>

#include "text/message.hpp"
#include "text/text.hpp"

namespace tw {

inline constexpr TextView kCannotLaunchCaption = u"Cannot launch web browser";

// The lower-cased text after the last "." of the part of the address after its last
// backslash; empty when there is no ".".
Text AddressExtension(TextView address);

// The message for the shell's result of opening `address`; nothing on success (above 32).
std::optional<Message> WebLinkFailureMessage(int32_t result, TextView address);

}  // namespace tw
