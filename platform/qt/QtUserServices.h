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
    void SetUnattended(bool on) { m_unattended = on; }
    // The window a message stands over when no window of the program is active (at start).
    void SetParentWindow(QWidget* window) { m_parent = window; }

private:
    bool m_unattended = false;
    QWidget* m_parent = nullptr;
    int m_waitDepth = 0;
};

} // namespace platform
