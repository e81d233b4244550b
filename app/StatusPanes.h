#pragma once

#include <string>

class QLabel;
class QMainWindow;
class QStatusBar;

// The main window's status bar: the information line, the report server's notice, the age of
// the active meteogram's newest report and the lock indicators. Texts never widen the window: a
// text longer than its pane is cut with "..." and shown whole in the pane's tip. While a menu
// item's or a button's prompt is shown, the panes under it are hidden, so that two texts are never
// drawn over each other.
class StatusPanes {
public:
    explicit StatusPanes(QMainWindow& frame);

    QStatusBar* Bar() const { return m_bar; }
    void SetText(const std::string& text);
    // Empty takes the notice away.
    void SetServerNotice(const std::string& text);
    // The age of the active meteogram's newest report; empty takes the pane away.
    void SetReportAge(const std::string& text);

private:
    // The panes shown when no prompt covers them.
    void ShowPanes();

    QStatusBar* m_bar = nullptr;
    QLabel* m_pane = nullptr;
    QLabel* m_serverNotice = nullptr;
    QLabel* m_reportAge = nullptr;
};
