#pragma once

#include <QIcon>

#include <functional>
#include <vector>

class CMainFrame;
class CVentoraDoc;
class CViewBase;

// Binds a kind of child window to its view class: opens new documents with their frame and
// view, and keeps the open documents in the order they were opened.
class DocTemplate {
public:
    using ViewFactory = std::function<CViewBase*(CMainFrame&)>;

    DocTemplate(QIcon icon, ViewFactory makeView);

    // Opens a new untitled document, visible, of the kind iNextWindowKind holds. None when the
    // view could not be created.
    CVentoraDoc* OpenDocumentFile(CMainFrame& mainFrame);
    // A document for a recent-list entry: no window, only its open step (which never keeps it).
    bool OpenRecentEntry(CMainFrame& mainFrame, const std::string& entry);

    const std::vector<CVentoraDoc*>& Documents() const { return m_documents; }
    void RemoveDocument(CVentoraDoc* document);

private:
    QIcon m_icon;
    ViewFactory m_makeView;
    std::vector<CVentoraDoc*> m_documents;
};
