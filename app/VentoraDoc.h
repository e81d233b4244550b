#pragma once

#include <string>

class CChildFrame;
class CMainFrame;
class DocTemplate;

// The document of a child window: it holds no data that is saved; it carries the title and
// reopens stations from the recent list.
class CVentoraDoc {
public:
    explicit CVentoraDoc(DocTemplate& docTemplate) : m_template(docTemplate) {}

    void SetTitle(const std::string& title);

    // The open step of a recent-list entry: reopens the station named in it. Always reports
    // failure, so that the document made for the entry is discarded.
    bool OnOpenDocument(const std::string& entry);

    DocTemplate& Template() { return m_template; }
    void SetFrame(CChildFrame* frame) { m_frame = frame; }
    CChildFrame* Frame() const { return m_frame; }

    CMainFrame* m_pMainFrame = nullptr;

private:
    DocTemplate& m_template;
    CChildFrame* m_frame = nullptr;
};
