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

private:
    bool m_unattended = false;
    int m_waitDepth = 0;
};

} // namespace platform
