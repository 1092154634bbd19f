// A message box as data: what to show, so that showing it is left to the caller.
#pragma once

#include "text/text.hpp"

namespace tw {

enum class MsgIcon { None, Information, Warning, Error, Question };
enum class MsgButtons { Ok, YesNo, YesNoCancel };
enum class MsgAnswer { Ok, Yes, No, Cancel };

struct Message {
  Text caption;
  Text text;
  MsgIcon icon = MsgIcon::None;
  MsgButtons buttons = MsgButtons::Ok;

  bool operator==(const Message&) const = default;
};

}  // namespace tw
