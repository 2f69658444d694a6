#pragma once

#include <cstddef>
#include <string_view>

namespace linkcheck::html {

// The length of the longest named character reference (without its "&", with its ";" when it
// has one) that starts `text`, or 0 when none does.
size_t longestReference(std::string_view text);

} // namespace linkcheck::html
