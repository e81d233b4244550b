#pragma once

#include <stdexcept>
#include <string>

namespace platform {

// Raised for an index out of range and similar misuse; the operation under way is abandoned
// and the caller that started it catches the error.
class InvalidArgument : public std::invalid_argument {
public:
    explicit InvalidArgument(const std::string& what) : std::invalid_argument(what) {}
};

} // namespace platform
