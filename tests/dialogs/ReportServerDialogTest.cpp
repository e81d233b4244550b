// View > Report Server...: the address the windows ask, shown, checked and kept.

#include "dialogs/ReportServerDialog.h"
#include "platform/qt/Profile.h"
#include "resources/CommandIds.h"
#include "tests/support/AppFixture.h"
#include "tests/support/FakeReportServer.h"

#include <QAction>
#include <QLineEdit>

using testing_support::AppFixture;

class ReportServerDialogTest : public AppFixture {};

TEST_F(ReportServerDialogTest, ShowsTheAddressRefusesWhatIsNoneAndKeepsTheNewOne) {
    testing_support::FakeReportServer first, second;
    second.SetPage("KJFK", testing_support::Rows("KJFK", 6, 30));
    Start(testing_support::SampleStationList(), CVentoraApp::Options{first.BaseUrl()});
    const std::string next = second.BaseUrl();
    std::string shown;
    std::vector<bool> refused;
    WithModal([&] { Frame().Action(ids::ID_VIEW_REPORT_SERVER)->trigger(); },
              [&](QWidget* widget) {
                  auto* dialog = static_cast<ReportServerDialog*>(widget);
                  shown = dialog->Edit()->text().toStdString();
                  for (const char* wrong : {"ftp://127.0.0.1:8573", "127.0.0.1:8573", "http://",
                                            "http://host/?q=1", "", next.c_str()}) {
                      const std::size_t messages = m_recorder.messages.size();
                      dialog->Edit()->setText(QString::fromStdString(wrong));
                      if (wrong == next)
                          dialog->Edit()->setText(dialog->Edit()->text() + "/");
                      dialog->accept();
                      refused.push_back(dialog->isVisible());
                      EXPECT_EQ(m_recorder.messages.size(), messages + dialog->isVisible());
                  }
                  if (dialog->isVisible())
                      dialog->reject();
              });
    EXPECT_EQ(shown, first.BaseUrl());
    EXPECT_EQ(refused, (std::vector<bool>{true, true, true, true, true, false}));
    ASSERT_FALSE(m_recorder.messages.empty());
    EXPECT_NE(m_recorder.messages.front().text.find("\"ftp://127.0.0.1:8573\" is not the address"),
              std::string::npos);

    // The new address, without its "/", serves the windows and stays for the next start.
    EXPECT_EQ(Frame().Catalogue().ServerUrl(), second.BaseUrl());
    EXPECT_EQ(platform::Profile::GetString("Server", "strBaseUrl", ""), second.BaseUrl());
    EXPECT_EQ(PaneText(), "Reports now come from the report server " + second.BaseUrl() + ".");
    App().OpenStations({"KJFK"});
    Pump();
    EXPECT_TRUE(WindowTitled("NYC_JFK ARPT"));
}
