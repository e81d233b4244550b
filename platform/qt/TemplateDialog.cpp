#include "platform/qt/TemplateDialog.h"

#include "platform/qt/Cp1252.h"
#include "resources/ResourceImages.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace platform {

using resources::ControlKind;

QFont DialogFont(const std::string& face, int points) {
    QString family = QString::fromStdString(face);
    // The Windows dialog faces are replaced by a metric-compatible sans serif where missing.
    if (!QFontDatabase::hasFamily(family))
        family = QFontDatabase::hasFamily(QStringLiteral("Liberation Sans"))
                     ? QStringLiteral("Liberation Sans")
                     : QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
    QFont font(family);
    font.setPixelSize(qRound(points * 96.0 / 72.0)); // points at the usual 96 dots per inch
    return font;
}

DialogUnits DialogUnitsOf(const QFont& font) {
    const QFontMetrics metrics(font);
    const int width = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    DialogUnits units;
    units.baseX = (width / 26 + 1) / 2;
    units.baseY = metrics.height();
    return units;
}

namespace {

// The width the control needs to show all of its text.
int TextWidth(const QWidget& widget) {
    if (const auto* box = qobject_cast<const QCheckBox*>(&widget))
        return box->sizeHint().width();
    if (const auto* button = qobject_cast<const QPushButton*>(&widget))
        return button->fontMetrics().horizontalAdvance(button->text()) + 6;
    if (const auto* label = qobject_cast<const QLabel*>(&widget))
        return label->pixmap().isNull() ? label->fontMetrics().horizontalAdvance(label->text()) : 0;
    if (const auto* group = qobject_cast<const QGroupBox*>(&widget))
        return group->title().isEmpty()
                   ? 0
                   : group->fontMetrics().horizontalAdvance(group->title()) + 16;
    return 0;
}

// Widens a control whose text the substitute font makes longer than its template place, on the
// side its text is aligned away from.
QRect FitText(const QWidget& widget, QRect rect, unsigned style) {
    const int missing = TextWidth(widget) - rect.width();
    if (missing <= 0)
        return rect;
    if (style & resources::kRight)
        rect.setLeft(rect.left() - missing);
    else if (style & resources::kCentered && qobject_cast<const QLabel*>(&widget))
        rect.adjust(-missing / 2, 0, missing - missing / 2, 0);
    else
        rect.setRight(rect.right() + missing);
    return rect;
}

} // namespace

TemplateDialog::TemplateDialog(const resources::DialogTemplate& t, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(FromCp1252(t.caption));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setModal(true);
    const QFont font = DialogFont(t.fontFace, t.fontPoints);
    setFont(font);
    m_units = DialogUnitsOf(font);
    setFixedSize(m_units.ToPixelsX(t.cx), m_units.ToPixelsY(t.cy));
    Build(t);
}

void TemplateDialog::Build(const resources::DialogTemplate& t) {
    QWidget* previousTab = nullptr;
    for (const resources::DialogControl& c : t.controls) {
        const QRect rect(m_units.ToPixelsX(c.x), m_units.ToPixelsY(c.y), m_units.ToPixelsX(c.cx),
                         m_units.ToPixelsY(c.cy));
        const QString text = FromCp1252(c.text);
        QWidget* widget = nullptr;
        switch (c.kind) {
        case ControlKind::Static: {
            auto* label = new QLabel(text, this);
            label->setAlignment((c.style & resources::kRight)      ? Qt::AlignRight | Qt::AlignTop
                                : (c.style & resources::kCentered) ? Qt::AlignHCenter | Qt::AlignTop
                                                                   : Qt::AlignLeft | Qt::AlignTop);
            widget = label;
            break;
        }
        case ControlKind::Icon: {
            auto* label = new QLabel(this);
            label->setPixmap(resources::Icon(std::stoi(c.text)).pixmap(rect.size()));
            widget = label;
            break;
        }
        case ControlKind::GroupBox:
            widget = new QGroupBox(text, this);
            break;
        case ControlKind::Edit: {
            auto* edit = new QLineEdit(this);
            edit->setAlignment(c.style & resources::kCentered ? Qt::AlignCenter : Qt::AlignLeft);
            edit->setFrame(true);
            widget = edit;
            break;
        }
        case ControlKind::PushButton: {
            auto* button = new QPushButton(text, this);
            button->setDefault(c.style & resources::kDefault);
            button->setAutoDefault(c.style & resources::kDefault);
            const int id = c.id;
            connect(button, &QPushButton::clicked, this, [this, id] {
                if (id == 1)
                    OnOK();
                else if (id == 2)
                    OnCancel();
            });
            widget = button;
            break;
        }
        case ControlKind::CheckBox:
            widget = new QCheckBox(text, this);
            break;
        case ControlKind::DropDownList: {
            auto* list = new QComboBox(this);
            list->setEditable(false);
            for (const std::string& item : c.items)
                list->addItem(FromCp1252(item));
            list->setCurrentIndex(-1);
            list->setMaxVisibleItems(
                qMax(1, m_units.ToPixelsY(c.cy) / list->fontMetrics().height()));
            widget = list;
            // A drop-down list's template height includes its open list; closed, it is one line.
            widget->setGeometry(rect.x(), rect.y(), rect.width(),
                                qMin(rect.height(), m_units.ToPixelsY(12)));
            break;
        }
        }
        if (c.kind != ControlKind::DropDownList)
            widget->setGeometry(FitText(*widget, rect, c.style));
        widget->setObjectName(QStringLiteral("control_%1").arg(c.id));
        widget->setEnabled(!(c.style & resources::kDisabled));
        widget->setVisible(!(c.style & resources::kHidden));
        widget->setFocusPolicy(c.style & resources::kTabStop ? Qt::StrongFocus : Qt::NoFocus);
        if (c.style & resources::kTabStop) {
            if (previousTab)
                setTabOrder(previousTab, widget);
            previousTab = widget;
        }
        if (c.kind == ControlKind::GroupBox)
            widget->lower(); // frames stand behind the controls they surround
        if (c.id != -1)
            m_controls[c.id] = widget;
    }
}

void TemplateDialog::showEvent(QShowEvent* event) {
    if (!m_initialised) {
        m_initialised = true;
        OnInitDialog();
    }
    QDialog::showEvent(event);
}

int TemplateDialog::DoModal() {
    return exec();
}

QWidget* TemplateDialog::Control(int id) const {
    const auto it = m_controls.find(id);
    return it == m_controls.end() ? nullptr : it->second;
}

QLineEdit* TemplateDialog::Edit(int id) const {
    return qobject_cast<QLineEdit*>(Control(id));
}
QCheckBox* TemplateDialog::Check(int id) const {
    return qobject_cast<QCheckBox*>(Control(id));
}
QComboBox* TemplateDialog::List(int id) const {
    return qobject_cast<QComboBox*>(Control(id));
}

std::string TemplateDialog::Text(int id) const {
    const QLineEdit* edit = Edit(id);
    return edit ? ToCp1252(edit->text()) : std::string();
}

void TemplateDialog::SetText(int id, const std::string& text) {
    if (QLineEdit* edit = Edit(id))
        edit->setText(FromCp1252(text));
}

bool TemplateDialog::IsChecked(int id) const {
    const QCheckBox* box = Check(id);
    return box && box->isChecked();
}

void TemplateDialog::SetChecked(int id, bool on) {
    if (QCheckBox* box = Check(id))
        box->setChecked(on);
}

QRect TemplateDialog::ControlRect(int id) const {
    const QWidget* w = Control(id);
    return w ? w->geometry() : QRect();
}

} // namespace platform
