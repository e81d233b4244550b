#include "app/StatusPanes.h"

#include "platform/qt/Cp1252.h"

#include <QLabel>
#include <QMainWindow>
#include <QResizeEvent>
#include <QStatusBar>

#include <algorithm>

namespace {

// A pane whose text is cut to its width with "..." (the whole text in its tip): however long
// the text, it asks for no more than a little room, so it never widens the window.
class ElidedLabel : public QLabel {
public:
    // `keep`: the width the pane keeps at least while its text needs it.
    ElidedLabel(QWidget* parent, int keep) : QLabel(parent), m_keep(keep) {
        setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    }

    void SetFullText(const QString& text) {
        m_full = text;
        Elide();
        updateGeometry();
    }
    const QString& FullText() const { return m_full; }

    QSize sizeHint() const override {
        return {fontMetrics().horizontalAdvance(m_full) + 2 * margin() + 4,
                QLabel::sizeHint().height()};
    }
    QSize minimumSizeHint() const override {
        const int text = fontMetrics().horizontalAdvance(m_full) + 2 * margin() + 4;
        return {std::min(text, m_keep), QLabel::minimumSizeHint().height()};
    }

protected:
    void resizeEvent(QResizeEvent* event) override {
        QLabel::resizeEvent(event);
        Elide();
    }

private:
    void Elide() {
        const QString shown =
            fontMetrics().elidedText(m_full, Qt::ElideRight, contentsRect().width());
        setText(shown);
        setToolTip(shown == m_full ? QString() : m_full);
    }

    QString m_full;
    int m_keep;
};

ElidedLabel* Elided(QLabel* label) {
    return static_cast<ElidedLabel*>(label);
}

} // namespace

StatusPanes::StatusPanes(QMainWindow& frame) {
    m_bar = new QStatusBar(&frame);
    // The information line keeps room for its counts and positions beside a long notice.
    auto* pane = new ElidedLabel(m_bar, 220);
    pane->setObjectName(QStringLiteral("pane0"));
    pane->SetFullText(QStringLiteral("Ready"));
    m_pane = pane;
    m_bar->addWidget(m_pane, 1);
    m_serverNotice = new ElidedLabel(m_bar, 60);
    m_serverNotice->setObjectName(QStringLiteral("serverNotice"));
    m_serverNotice->hide();
    m_bar->addWidget(m_serverNotice);
    m_reportAge = new ElidedLabel(m_bar, 160);
    m_reportAge->setObjectName(QStringLiteral("reportAge"));
    m_reportAge->hide();
    m_bar->addWidget(m_reportAge);
    // The lock states are not reported on every platform; the indicators then stay unlit.
    for (const char* name : {"CAP", "NUM", "SCRL"}) {
        auto* indicator = new QLabel(QString::fromLatin1(name), m_bar);
        indicator->setEnabled(false);
        indicator->setAlignment(Qt::AlignCenter);
        indicator->setMinimumWidth(
            indicator->fontMetrics().horizontalAdvance(QStringLiteral("SCRL")) + 8);
        m_bar->addPermanentWidget(indicator);
    }
    frame.setStatusBar(m_bar);
    // A prompt covers the panes; they come back with their texts when it goes.
    QObject::connect(m_bar, &QStatusBar::messageChanged, m_bar, [this](const QString& message) {
        if (message.isEmpty())
            ShowPanes();
        else {
            m_serverNotice->hide();
            m_reportAge->hide();
        }
    });
}

void StatusPanes::SetText(const std::string& text) {
    Elided(m_pane)->SetFullText(platform::FromCp1252(text));
}

void StatusPanes::SetServerNotice(const std::string& text) {
    Elided(m_serverNotice)->SetFullText(platform::FromCp1252(text));
    ShowPanes();
}

void StatusPanes::SetReportAge(const std::string& text) {
    Elided(m_reportAge)->SetFullText(platform::FromCp1252(text));
    ShowPanes();
}

void StatusPanes::ShowPanes() {
    // While a prompt is shown the status bar keeps its normal panes hidden itself.
    const bool prompt = !m_bar->currentMessage().isEmpty();
    m_serverNotice->setVisible(!prompt && !Elided(m_serverNotice)->FullText().isEmpty());
    m_reportAge->setVisible(!prompt && !Elided(m_reportAge)->FullText().isEmpty());
    if (!prompt)
        m_pane->show();
}
