#pragma once

#include <string>

namespace platform {

enum class MessageIcon { None, Exclamation, Error, Information, Question };

enum MessageResult { IDOK = 1, IDCANCEL = 2 };

// What the core asks of the user interface: modal messages and the counted wait cursor.
// The windowed program installs an implementation on Qt; tests install a recorder; without
// one, messages go to standard error.
class UserServices {
public:
    virtual ~UserServices() = default;
    // Shows the single-byte (Windows-1252) text modally with an OK button; returns IDOK.
    virtual int ShowMessage(const std::string& text, MessageIcon icon) = 0;
    virtual void BeginWaitCursor() = 0;
    // Takes one showing of the wait cursor down; never below none.
    virtual void EndWaitCursor() = 0;
};

UserServices& Services();

// Installs `services` for the lifetime of the object and restores the previous ones after.
class ScopedUserServices {
public:
    explicit ScopedUserServices(UserServices& services);
    ~ScopedUserServices();
    ScopedUserServices(const ScopedUserServices&) = delete;
    ScopedUserServices& operator=(const ScopedUserServices&) = delete;

private:
    UserServices* m_previous;
};

int MessageBox(const std::string& text, MessageIcon icon = MessageIcon::Exclamation);

// Shows the wait cursor while it lives.
class WaitCursor {
public:
    WaitCursor() { Services().BeginWaitCursor(); }
    ~WaitCursor() { Restore(); }
    // Ends the wait cursor early; later calls and the destructor do nothing.
    void Restore() {
        if (m_shown) {
            m_shown = false;
            Services().EndWaitCursor();
        }
    }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    bool m_shown = true;
};

} // namespace platform
