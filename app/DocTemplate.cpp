#include "app/DocTemplate.h"

#include "app/ChildFrame.h"
#include "app/MainFrame.h"
#include "app/VentoraDoc.h"
#include "views/ViewBase.h"
#include "views/WindowKinds.h"

#include <QMdiArea>

#include <algorithm>

DocTemplate::DocTemplate(QIcon icon, ViewFactory makeView)
    : m_icon(std::move(icon)), m_makeView(std::move(makeView)) {}

CVentoraDoc* DocTemplate::OpenDocumentFile(CMainFrame& mainFrame) {
    auto document = std::make_unique<CVentoraDoc>(*this);
    CVentoraDoc* doc = document.get();
    auto* frame = new CChildFrame(iNextWindowKind);
    frame->setWindowIcon(m_icon);
    CViewBase* view = m_makeView(mainFrame);
    view->SetTitleHandler([doc](const std::string& title) { doc->SetTitle(title); });
    doc->m_pMainFrame = &mainFrame;
    frame->SetView(view, std::move(document));
    int created = -1;
    try {
        created = view->OnCreate();
    } catch (...) {
        frame->Abandon();
        delete frame;
        throw;
    }
    if (created == -1) {
        // The window is not created: nothing of it is shown or kept.
        frame->Abandon();
        delete frame;
        return nullptr;
    }
    m_documents.push_back(doc);
    frame->SetChangeHandler([&mainFrame, frame] { mainFrame.OnChildFrameChanged(frame); });
    QObject::connect(frame, &QWidget::windowTitleChanged, &mainFrame,
                     [&mainFrame, frame] { mainFrame.OnChildFrameChanged(frame); });
    mainFrame.MdiArea()->addSubWindow(frame);
    view->OnInitialUpdate();
    if (KindTraits(view->Kind()).centred) {
        const QSize area = mainFrame.MdiArea()->viewport()->size();
        frame->move(std::max(0, (area.width() - frame->width()) / 2),
                    std::max(0, (area.height() - frame->height()) / 2));
    }
    frame->show();
    return doc;
}

bool DocTemplate::OpenRecentEntry(CMainFrame& mainFrame, const std::string& entry) {
    CVentoraDoc document(*this);
    document.m_pMainFrame = &mainFrame;
    return document.OnOpenDocument(entry);
}

void DocTemplate::RemoveDocument(CVentoraDoc* document) {
    m_documents.erase(std::remove(m_documents.begin(), m_documents.end(), document),
                      m_documents.end());
}
