#include "app/LayoutFile.h"

#include "app/ChildFrame.h"
#include "app/MainFrame.h"
#include "app/VentoraApp.h"
#include "app/VentoraDoc.h"
#include "app/WindowKinds.h"
#include "catalogue/StationList.h"
#include "platform/CText.h"
#include "platform/FileReplace.h"
#include "platform/UserServices.h"

#include <QGuiApplication>
#include <QMdiArea>
#include <QScreen>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace {

void PutU32(std::string& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

std::uint32_t GetU32(const char* p) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | static_cast<unsigned char>(p[i]);
    return v;
}

std::int32_t GetI32(const char* p) {
    return static_cast<std::int32_t>(GetU32(p));
}

template <std::size_t N> void PutText(std::string& out, const std::array<char, N>& field) {
    out.append(field.data(), N);
}

template <std::size_t N> void GetText(std::array<char, N>& field, const char* p) {
    std::memcpy(field.data(), p, N);
    field[N - 1] = 0; // a text always ends inside its field
}

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

// Where a placement may put a window: the main window inside the screen's work area; a child
// window no larger than the screen, with its title bar inside the child-window area.
struct PlacementBounds {
    QPoint origin; // what the placement's coordinates count from
    QSize area;    // where the window must be found again
    QSize largest; // the largest size a window may take
    bool partly;   // true: only the top left part must lie in the area
};

// Puts the window where the placement says, kept within the bounds: a damaged or foreign file,
// a screen that has since shrunk, or extreme numbers neither overflow nor leave a window out of
// reach (and so saved back and returned at every start).
void ApplyPlacement(QWidget& window, const WindowPlacement& p, const PlacementBounds& b) {
    const std::int64_t width = static_cast<std::int64_t>(p.right) - p.left;
    const std::int64_t height = static_cast<std::int64_t>(p.bottom) - p.top;
    if (width <= 0 || height <= 0 || b.area.width() <= 0 || b.area.height() <= 0 ||
        b.largest.width() <= 0 || b.largest.height() <= 0)
        return;
    constexpr int kSmallest = 100; // a window still to be grabbed and read
    constexpr int kTitle = 30;     // a title bar's height, to be grabbed
    const int w = static_cast<int>(
        std::clamp<std::int64_t>(width, std::min(kSmallest, b.largest.width()), b.largest.width()));
    const int h = static_cast<int>(std::clamp<std::int64_t>(
        height, std::min(kSmallest, b.largest.height()), b.largest.height()));
    const std::int64_t lowX = b.partly ? kSmallest - w : 0;
    const std::int64_t highX = b.partly ? b.area.width() - kSmallest : b.area.width() - w;
    const std::int64_t highY = b.partly ? b.area.height() - kTitle : b.area.height() - h;
    const int x = static_cast<int>(std::clamp<std::int64_t>(p.left, std::min(lowX, highX),
                                                            std::max(lowX, highX)));
    const int y = static_cast<int>(std::clamp<std::int64_t>(p.top, 0, std::max<std::int64_t>(0, highY)));
    window.setGeometry(x + b.origin.x(), y + b.origin.y(), w, h);
    if (p.showCmd == 3)
        window.showMaximized();
    else if (p.showCmd == 2 || p.showCmd == 6 || p.showCmd == 7)
        window.showMinimized();
}

// The station of a saved meteogram window: its texts, and the position they describe, so that
// its mark on the world map stands where the station is.
StationRecord StationOf(const LayoutEntry& e) {
    StationRecord s;
    s.strStation = FieldText(e.szName);
    s.strCY = FieldText(e.szCountry);
    s.strICAO = FieldText(e.szIcao);
    s.strCD = FieldText(e.szCD);
    s.strLat = FieldText(e.szLatitude);
    s.strLon = FieldText(e.szLongitude);
    s.strElev = FieldText(e.szElevation);
    CoordinatesFromTexts(s);
    return s;
}

} // namespace

std::string EncodePlacement(const WindowPlacement& p) {
    std::string out;
    for (std::uint32_t v : {p.length, p.flags, p.showCmd})
        PutU32(out, v);
    for (std::int32_t v : {p.minX, p.minY, p.maxX, p.maxY, p.left, p.top, p.right, p.bottom})
        PutU32(out, static_cast<std::uint32_t>(v));
    return out;
}

WindowPlacement DecodePlacement(const char* b) {
    WindowPlacement p;
    p.length = GetU32(b);
    p.flags = GetU32(b + 4);
    p.showCmd = GetU32(b + 8);
    p.minX = GetI32(b + 12);
    p.minY = GetI32(b + 16);
    p.maxX = GetI32(b + 20);
    p.maxY = GetI32(b + 24);
    p.left = GetI32(b + 28);
    p.top = GetI32(b + 32);
    p.right = GetI32(b + 36);
    p.bottom = GetI32(b + 40);
    return p;
}

std::string EncodeEntry(const LayoutEntry& e) {
    std::string out;
    PutU32(out, static_cast<std::uint32_t>(e.nKind));
    PutText(out, e.szName);
    PutText(out, e.szCountry);
    PutText(out, e.szIcao);
    PutText(out, e.szCD);
    PutText(out, e.szLatitude);
    PutText(out, e.szLongitude);
    PutText(out, e.szElevation);
    out += EncodePlacement(e.wpPlacement);
    PutU32(out, static_cast<std::uint32_t>(e.nView));
    return out;
}

LayoutEntry DecodeEntry(const char* b) {
    LayoutEntry e;
    e.nKind = GetI32(b);
    GetText(e.szName, b + 4);
    GetText(e.szCountry, b + 132);
    GetText(e.szIcao, b + 260);
    GetText(e.szCD, b + 292);
    GetText(e.szLatitude, b + 324);
    GetText(e.szLongitude, b + 356);
    GetText(e.szElevation, b + 388);
    e.wpPlacement = DecodePlacement(b + 420);
    e.nView = GetI32(b + 464);
    return e;
}

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
            for (const LayoutEntry& e : frame.m_arrLayoutEntries)
                if (view && e.view == view)
                    entry = &e;
            if (!entry)
                continue;
            LayoutEntry copy = *entry;
            copy.wpPlacement = PlacementOf(*child, QPoint(0, 0));
            PutU32(bytes, static_cast<std::uint32_t>(kLayoutEntrySize));
            bytes += EncodeEntry(copy);
        }
        // Station windows the last restore could not reopen, because the report server did
        // not answer, keep their places: an outage does not erase the user's layout.
        if (t == app->m_pMapTemplate)
            for (const LayoutEntry& kept : frame.UnrestoredStations()) {
                PutU32(bytes, static_cast<std::uint32_t>(kLayoutEntrySize));
                bytes += EncodeEntry(kept);
            }
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
    if (frame.m_bLayoutRestored)
        return;
    frame.m_bLayoutRestored = true;

    std::ifstream in(kLayoutFile, std::ios::binary);
    if (!in) {
        frame.OpenChildWindow(KIND_WORLD_MAP);
        return;
    }
    char placement[44];
    if (!in.read(placement, sizeof placement))
        return;
    const QRect work = WorkArea();
    ApplyPlacement(frame, DecodePlacement(placement),
                   {work.topLeft(), work.size(), work.size(), false});

    char buffer[kLayoutEntrySize] = {};
    for (;;) {
        char lengthBytes[4];
        if (!in.read(lengthBytes, 4))
            break;
        // Every record the program writes is 468 bytes long; anything else ends the restore
        // before a byte of it is taken.
        if (GetI32(lengthBytes) != kLayoutEntrySize)
            break;
        if (!in.read(buffer, kLayoutEntrySize))
            break;
        const LayoutEntry entry = DecodeEntry(buffer);
        CVentoraDoc* opened = nullptr;
        switch (entry.nKind) {
        case KIND_WORLD_MAP:
            opened = frame.OpenChildWindow(KIND_WORLD_MAP);
            break;
        case KIND_STATION:
            // Once the server has not answered, the other stations are not waited for.
            if (frame.m_catalogue.ServerDownSince() != 0)
                frame.KeepUnrestoredStation(entry);
            else if (frame.m_catalogue.SelectStation(StationOf(entry)))
                opened = frame.LastOpenedDocument();
            else if (frame.m_catalogue.ServerDownSince() != 0)
                frame.KeepUnrestoredStation(entry);
            break;
        case KIND_RESULT_LIST:
        case KIND_ALL_STATIONS: {
            platform::WaitCursor wait;
            opened = frame.OpenChildWindow(KIND_ALL_STATIONS);
            if (opened)
                opened->SetTitle("All stations");
            break;
        }
        default:
            break; // zoom windows and anything else are not re-created
        }
        if (opened && opened->Frame())
            ApplyPlacement(*opened->Frame(), entry.wpPlacement,
                           {QPoint(0, 0), frame.MdiArea()->viewport()->size(), work.size(), true});
    }
    const int kept = static_cast<int>(frame.UnrestoredStations().size());
    if (kept > 0)
        frame.SetServerNotice(platform::Format(
            "%d saved station window%s not reopened: the report server did not answer. %s in "
            "the layout.",
            kept, kept == 1 ? " was" : "s were", kept == 1 ? "It stays" : "They stay"));
}
