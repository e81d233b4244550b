#include "platform/Abandon.h"

#include "platform/CText.h"
#include "platform/UserServices.h"

namespace platform {

void ReportAbandoned(const InvalidArgument& error) {
    static bool showing = false;
    if (showing)
        return;
    showing = true;
    MessageBox(
        Format("The operation was abandoned because of an internal error (%s).", error.what()),
        MessageIcon::Error);
    showing = false;
}

} // namespace platform
