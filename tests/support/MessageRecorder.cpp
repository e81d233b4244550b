#include "tests/support/MessageRecorder.h"

namespace testing_support {

MessageRecorder::MessageRecorder() : m_install(*this) {}

int MessageRecorder::ShowMessage(const std::string& text, platform::MessageIcon icon) {
    messages.push_back({text, icon});
    if (whileShown) {
        auto action = std::move(whileShown);
        whileShown = nullptr;
        action();
    }
    return platform::IDOK;
}

} // namespace testing_support
