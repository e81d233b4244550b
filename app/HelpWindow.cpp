#include "app/HelpWindow.h"

#include "resources/ResourceImages.h"

#include <QDialog>
#include <QPointer>
#include <QTextBrowser>
#include <QVBoxLayout>

void HelpWindow::Show(QWidget* parent) {
    static QPointer<QDialog> window;
    if (!window) {
        window = new QDialog(parent);
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->setObjectName(QStringLiteral("help"));
        window->setWindowTitle(QStringLiteral("Ventora Help"));
        auto* layout = new QVBoxLayout(window);
        auto* text = new QTextBrowser(window);
        text->setHtml(resources::HelpHtml());
        layout->addWidget(text);
        window->resize(520, 560);
    }
    window->show();
    window->raise();
    window->activateWindow();
}
