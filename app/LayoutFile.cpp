#include "app/LayoutFile.h"

#include "app/ChildFrame.h"
#include "app/MainFrame.h"
#include "app/VentoraApp.h"
#include "app/VentoraDoc.h"
#include "catalogue/Settings.h"
#include "catalogue/StationList.h"
#include "platform/CText.h"
#include "platform/FileHead.h"
#include "platform/FileReplace.h"
#include "platform/UserServices.h"
#include "views/WindowKinds.h"

#include <QGuiApplication>
#include <QMdiArea>
#include <QScreen>

#include <algorithm>
#include <cstdio>
#include <optional>

namespace {

QRect WorkArea() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

WindowPlacement PlacementOf(const QWidget& window, QPoint origin) {
    WindowPlacement p;
    p.showCmd = window.isMinimized() ? 2 : window.isMaximized() ? 3 : 1;
    p.minX = p.minY = p.maxX = p.maxY = -1;
    const QRect normal =
        (window.isMinimized() || window.isMaximized()) && window.normalGeometry().isValid()
            ? window.normalGeometry()
            : window.geometry();
    p.left = normal.left() - origin.x();
    p.top = normal.top() - origin.y();
    p.right = normal.left() + normal.width() - origin.x();
    p.bottom = normal.top() + normal.height() - origin.y();
    return p;
}

void ApplyPlacement(QWidget& window, const WindowPlacement& p, const PlacementBounds& bounds) {
    const auto fitted = FitPlacement(p, bounds);
    if (!fitted)
        return;
    window.setGeometry(fitted->x, fitted->y, fitted->width, fitted->height);
    if (fitted->maximised)
        window.showMaximized();
    else if (fitted->minimised)
        window.showMinimized();
}

// The station of a saved meteogram window: its texts, and the position they describe, so that
// its mark on the world map stands where the station is. None when a text is longer than a
// station's field: this program wrote no such entry, and cut to size its code could name
// another station.
std::optional<StationRecord> StationOf(const LayoutEntry& e) {
    StationRecord s;
    bool fits = true;
    const auto take = [&fits](auto& field, const std::string& text) {
        fits = fits && text.size() <= field.capacity();
        field = text;
    };
    take(s.strStation, FieldText(e.szName));
    take(s.strCY, FieldText(e.szCountry));
    take(s.strICAO, FieldText(e.szIcao));
    take(s.strCD, FieldText(e.szCD));
    take(s.strLat, FieldText(e.szLatitude));
    take(s.strLon, FieldText(e.szLongitude));
    take(s.strElev, FieldText(e.szElevation));
    if (!fits)
        return std::nullopt;
    CoordinatesFromTexts(s);
    return s;
}

} // namespace

bool SaveLayout(CMainFrame& frame) {
    if (iSaveLayout == 0)
        return true;
    std::string bytes = EncodePlacement(PlacementOf(frame, WorkArea().topLeft()));
    CVentoraApp* app = CVentoraApp::Instance();
    for (DocTemplate* t : {app->m_pMapTemplate, app->m_pListTemplate}) {
        if (!t)
            continue;
        for (CVentoraDoc* doc : t->Documents()) {
            CChildFrame* child = doc->Frame();
            const CViewBase* view = child ? child->View() : nullptr;
            const LayoutEntry* entry = nullptr;
            for (const LayoutEntry& e : frame.LayoutEntries())
                if (view && e.view == view)
                    entry = &e;
            if (!entry)
                continue;
            LayoutEntry copy = *entry;
            copy.wpPlacement = PlacementOf(*child, QPoint(0, 0));
            bytes += EncodeRecord(copy);
        }
        // Station windows the last restore could not reopen, because the report server did
        // not answer, keep their places: an outage does not erase the user's layout.
        if (t == app->m_pMapTemplate)
            for (const LayoutEntry& kept : frame.UnrestoredStations())
                bytes += EncodeRecord(kept);
    }
    // Written beside the old file and then put in its place: a failure leaves the old file.
    switch (platform::ReplaceFileContents(kLayoutFile, bytes)) {
    case platform::ReplaceResult::Written:
        return true;
    case platform::ReplaceResult::CannotCreate:
        platform::MessageBox(platform::Format("Can not create file: \"%s\"", kLayoutFile),
                             platform::MessageIcon::Exclamation);
        return false;
    case platform::ReplaceResult::CannotWrite:
        break;
    }
    platform::MessageBox(platform::Format("Can not write file: \"%s\"", kLayoutFile),
                         platform::MessageIcon::Exclamation);
    return false;
}

void RestoreLayout(CMainFrame& frame) {
    if (iRestoreLayout == 0) {
        frame.OpenChildWindow(KIND_WORLD_MAP);
        return;
    }
    if (!frame.TakeLayoutRestore())
        return;

    // No layout holds thousands of windows: a larger file is read up to there.
    constexpr std::size_t kLargestLayout = 16u * 1024u * 1024u;
    const auto head = platform::ReadFileHead(kLayoutFile, kLargestLayout);
    if (!head) {
        frame.OpenChildWindow(KIND_WORLD_MAP);
        return;
    }
    const LayoutContents contents = ReadLayout(head->text);
    if (!contents.main)
        return;
    const QRect work = WorkArea();
    ApplyPlacement(frame, *contents.main, {work.x(), work.y(), work.width(), work.height()});

    for (const LayoutEntry& entry : contents.entries) {
        CVentoraDoc* opened = nullptr;
        switch (KindTraits(entry.nKind).restore) {
        case KindRestore::Reopen:
            opened = frame.OpenChildWindow(entry.nKind);
            break;
        case KindRestore::ReopenStation: {
            const std::optional<StationRecord> station = StationOf(entry);
            if (!station)
                break;
            // Once the server has not answered, the other stations are not waited for; a
            // station with kept observations opens with them all the same.
            if (frame.Catalogue().ServerDownSince() != 0 &&
                !frame.HasStoredObservations(station->strICAO))
                frame.KeepUnrestoredStation(entry);
            else if (frame.Catalogue().SelectStation(*station))
                opened = frame.LastOpenedDocument();
            else if (frame.Catalogue().ServerDownSince() != 0)
                frame.KeepUnrestoredStation(entry);
            break;
        }
        case KindRestore::ReopenAllStations: {
            platform::WaitCursor wait;
            opened = frame.OpenChildWindow(KIND_ALL_STATIONS);
            if (opened)
                opened->SetTitle("All stations");
            break;
        }
        case KindRestore::Skip:
            break;
        }
        // Every child window lies wholly inside the child-window area, no larger than it, so
        // that its title bar and buttons can be reached.
        const QSize area = frame.MdiArea()->viewport()->size();
        if (opened && opened->Frame())
            ApplyPlacement(*opened->Frame(), entry.wpPlacement,
                           {0, 0, area.width(), area.height()});
    }
    const int kept = static_cast<int>(frame.UnrestoredStations().size());
    if (kept > 0)
        frame.SetServerNotice(platform::Format(
            "%d saved station window%s not reopened: the report server did not answer. %s in "
            "the layout.",
            kept, kept == 1 ? " was" : "s were", kept == 1 ? "It stays" : "They stay"));
}
