#include "platform/UserServices.h"

#include <cstdio>

namespace platform {

namespace {

class ConsoleServices : public UserServices {
public:
    int ShowMessage(const std::string& text, MessageIcon) override {
        std::fprintf(stderr, "%s\n", text.c_str());
        return IDOK;
    }
    void BeginWaitCursor() override {}
    void EndWaitCursor() override {}
};

ConsoleServices g_console;
UserServices* g_services = &g_console;

} // namespace

UserServices& Services() {
    return *g_services;
}

ScopedUserServices::ScopedUserServices(UserServices& services) : m_previous(g_services) {
    g_services = &services;
}

ScopedUserServices::~ScopedUserServices() {
    g_services = m_previous;
}

int MessageBox(const std::string& text, MessageIcon icon) {
    return Services().ShowMessage(text, icon);
}

} // namespace platform
