#pragma once

#include "platform/UserServices.h"

#include <functional>
#include <string>
#include <vector>

namespace testing_support {

// Records the messages and wait-cursor calls the core makes, and installs itself while alive.
class MessageRecorder : public platform::UserServices {
public:
    struct Message {
        std::string text;
        platform::MessageIcon icon;
    };

    MessageRecorder();

    int ShowMessage(const std::string& text, platform::MessageIcon icon) override;
    void BeginWaitCursor() override { ++waitDepth, ++waitBegins; }
    void EndWaitCursor() override {
        if (waitDepth > 0)
            --waitDepth;
    }

    std::vector<Message> messages;
    int waitDepth = 0;
    int waitBegins = 0;
    // Runs while a message "is shown", as a timer tick during a modal message box would.
    std::function<void()> whileShown;

private:
    platform::ScopedUserServices m_install;
};

} // namespace testing_support
