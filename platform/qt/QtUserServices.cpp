#include "platform/qt/QtUserServices.h"

#include "platform/qt/Cp1252.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>

namespace platform {

int QtUserServices::ShowMessage(const std::string& text, MessageIcon icon) {
    if (m_unattended) {
        std::fprintf(stderr, "ventora: %s\n", FromCp1252(text).toLocal8Bit().constData());
        return IDOK;
    }
    QMessageBox::Icon qtIcon = QMessageBox::NoIcon;
    switch (icon) {
    case MessageIcon::Exclamation:
        qtIcon = QMessageBox::Warning;
        break;
    case MessageIcon::Error:
        qtIcon = QMessageBox::Critical;
        break;
    case MessageIcon::Information:
        qtIcon = QMessageBox::Information;
        break;
    case MessageIcon::Question:
        qtIcon = QMessageBox::Question;
        break;
    case MessageIcon::None:
        break;
    }
    // The wait cursor must not stay over a message that waits for the user.
    const bool waiting = m_waitDepth > 0;
    if (waiting)
        QApplication::setOverrideCursor(Qt::ArrowCursor);
    QWidget* parent = QApplication::activeWindow();
    if (!parent && m_parent && m_parent->isVisible())
        parent = m_parent;
    QMessageBox box(qtIcon, QStringLiteral("Ventora"), FromCp1252(text), QMessageBox::Ok, parent);
    box.exec();
    if (waiting)
        QApplication::restoreOverrideCursor();
    return IDOK;
}

void QtUserServices::BeginWaitCursor() {
    if (m_waitDepth++ == 0)
        QApplication::setOverrideCursor(Qt::WaitCursor);
}

void QtUserServices::EndWaitCursor() {
    if (m_waitDepth == 0)
        return;
    if (--m_waitDepth == 0)
        QApplication::restoreOverrideCursor();
}

} // namespace platform
