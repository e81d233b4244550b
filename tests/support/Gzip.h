#pragma once

#include <string>
#include <string_view>

namespace testing_support {

// The text as one gzip member, as a data service serves its bulk files.
std::string GzipText(std::string_view text);

} // namespace testing_support
