// What a change to a document would be, as a unified diff (the form that patch applies).
#pragma once

#include <string>
#include <string_view>

namespace tw::cli {

// The lines of `before` and `after` (a line ends after each LF; a CR stays in its line) as a
// unified diff with three lines of context around each change, headed by "--- NAME" and
// "+++ NAME". A last line without an LF is followed by "\ No newline at end of file".
// Empty when nothing differs.
std::string UnifiedDiff(std::string_view before, std::string_view after, std::string_view name);

}  // namespace tw::cli
