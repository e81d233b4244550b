#pragma once

#include "platform/UserServices.h"

class QWidget;

namespace platform {

// Messages as modal message boxes titled "Ventora" with an OK button, and the counted wait
// cursor. In unattended mode (a screenshot run) a message is written to standard error and
// counts as answered with OK, so that nothing waits for a user.
class QtUserServices : public UserServices {
public:
    int ShowMessage(const std::string& text, MessageIcon icon) override;
    void BeginWaitCursor() override;
    void EndWaitCursor() override;
    // Takes the wait cursor down once more, not below zero.
    void ReleaseWaitCursorOnce() { EndWaitCursor(); }

    void SetUnattended(bool on) { m_unattended = on; }
    bool Unattended() const { return m_unattended; }
    int WaitDepth() const { return m_waitDepth; }
    // The last message shown, for tests that drive the real windows.
    const std::string& LastMessage() const { return m_lastMessage; }
    int MessageCount() const { return m_messages; }

private:
    bool m_unattended = false;
    int m_waitDepth = 0;
    int m_messages = 0;
    std::string m_lastMessage;
};

} // namespace platform
