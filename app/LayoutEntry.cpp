#include "app/LayoutEntry.h"

LayoutEntry MakeLayoutEntry(std::int32_t kind, const StationRecord& s, const void* view) {
    LayoutEntry e;
    e.nKind = kind;
    SetField(e.szName, s.strStation);
    SetField(e.szCountry, s.strCY);
    SetField(e.szIcao, s.strICAO);
    SetField(e.szCD, s.strCD);
    SetField(e.szLatitude, s.strLat);
    SetField(e.szLongitude, s.strLon);
    SetField(e.szElevation, s.strElev);
    e.view = view;
    e.nView = static_cast<std::int32_t>(reinterpret_cast<std::uintptr_t>(view));
    return e;
}
