// Dialogs built from their templates: every text of every control can be read in full.

#include "dialogs/FindDialog.h"
#include "dialogs/ParametersDialog.h"
#include "platform/qt/TemplateDialog.h"
#include "resources/CommandIds.h"
#include "resources/Resources.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>

#include <gtest/gtest.h>

namespace {

// The width a control needs to show its whole text.
int NeededWidth(const QWidget* w) {
    if (const auto* box = qobject_cast<const QCheckBox*>(w))
        return box->sizeHint().width();
    if (const auto* button = qobject_cast<const QPushButton*>(w))
        return button->fontMetrics().horizontalAdvance(button->text()) + 6;
    if (const auto* label = qobject_cast<const QLabel*>(w))
        return label->text().isEmpty() ? 0 : label->fontMetrics().horizontalAdvance(label->text());
    if (const auto* group = qobject_cast<const QGroupBox*>(w))
        return group->title().isEmpty()
                   ? 0
                   : group->fontMetrics().horizontalAdvance(group->title()) + 16;
    return 0;
}

QString TextOf(const QWidget* w) {
    if (const auto* box = qobject_cast<const QAbstractButton*>(w))
        return box->text();
    if (const auto* label = qobject_cast<const QLabel*>(w))
        return label->text();
    if (const auto* group = qobject_cast<const QGroupBox*>(w))
        return group->title();
    return {};
}

} // namespace

TEST(DialogTemplates, EveryTextFitsItsControl) {
    for (const resources::DialogTemplate* t :
         {&resources::Dialog(ids::IDD_ABOUTBOX), &CDia_Find::Template(),
          &CDia_Parameters::Template()}) {
        const int id = t->id;
        platform::TemplateDialog dialog(*t);
        dialog.show();
        dialog.grab().save(QStringLiteral(VENTORA_ARTIFACT_DIR "/dialog-%1.png").arg(id));
        const QList<QWidget*> controls = dialog.findChildren<QWidget*>(
            QRegularExpression(QStringLiteral("^control_")), Qt::FindDirectChildrenOnly);
        ASSERT_EQ(controls.size(), static_cast<qsizetype>(t->controls.size()));
        for (const QWidget* w : controls) {
            const QString text = TextOf(w);
            EXPECT_LE(NeededWidth(w), w->width()) << id << " \"" << text.toStdString() << "\"";
            EXPECT_LE(w->fontMetrics().height(), std::max(w->height(), 1))
                << id << " \"" << text.toStdString() << "\"";
            // Inside the dialog.
            EXPECT_TRUE(dialog.rect().contains(w->geometry()))
                << id << " \"" << text.toStdString() << "\"";
        }
        // Controls that show something do not cover each other (group boxes frame others).
        for (const QWidget* a : controls)
            for (const QWidget* b : controls) {
                if (a == b || a->isHidden() || b->isHidden() || qobject_cast<const QGroupBox*>(a) ||
                    qobject_cast<const QGroupBox*>(b))
                    continue;
                EXPECT_FALSE(a->geometry().intersects(b->geometry()))
                    << id << " \"" << TextOf(a).toStdString() << "\" and \""
                    << TextOf(b).toStdString() << "\"";
            }
    }
}
