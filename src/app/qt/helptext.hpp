// The help window's text, built once: what the program does, the weights, the settings,
// the two ways to a result, phrases and the clipboard, and PHP files.
#pragma once

#include "text/text.hpp"

namespace tw {

// Paragraphs joined by CR LF CR LF, list items on lines of their own; `manualAddress` is
// where the illustrated manual can be found.
Text BuildHelpText(TextView manualAddress);

}  // namespace tw
