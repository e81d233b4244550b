#include "app/LayoutRecords.h"

#include <algorithm>
#include <cstring>

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

std::string EncodeRecord(const LayoutEntry& entry) {
    std::string out;
    PutU32(out, static_cast<std::uint32_t>(kLayoutEntrySize));
    return out + EncodeEntry(entry);
}

LayoutContents ReadLayout(std::string_view bytes) {
    LayoutContents contents;
    if (bytes.size() < 44)
        return contents;
    contents.main = DecodePlacement(bytes.data());
    for (std::size_t at = 44; at + 4 <= bytes.size();) {
        // Every record the program writes is 468 bytes long; anything else ends the file
        // before a byte of it is taken.
        if (GetI32(bytes.data() + at) != kLayoutEntrySize)
            break;
        at += 4;
        if (at + kLayoutEntrySize > bytes.size())
            break;
        contents.entries.push_back(DecodeEntry(bytes.data() + at));
        at += kLayoutEntrySize;
    }
    return contents;
}

std::optional<FittedPlacement> FitPlacement(const WindowPlacement& p, const PlacementBounds& b) {
    const std::int64_t width = static_cast<std::int64_t>(p.right) - p.left;
    const std::int64_t height = static_cast<std::int64_t>(p.bottom) - p.top;
    if (width <= 0 || height <= 0 || b.areaWidth <= 0 || b.areaHeight <= 0)
        return std::nullopt;
    constexpr int kSmallest = 100; // a window still to be grabbed and read
    FittedPlacement f;
    f.width = static_cast<int>(
        std::clamp<std::int64_t>(width, std::min(kSmallest, b.areaWidth), b.areaWidth));
    f.height = static_cast<int>(
        std::clamp<std::int64_t>(height, std::min(kSmallest, b.areaHeight), b.areaHeight));
    f.x = static_cast<int>(std::clamp<std::int64_t>(p.left, 0, b.areaWidth - f.width) + b.originX);
    f.y = static_cast<int>(std::clamp<std::int64_t>(p.top, 0, b.areaHeight - f.height) + b.originY);
    f.maximised = p.showCmd == 3;
    f.minimised = p.showCmd == 2 || p.showCmd == 6 || p.showCmd == 7;
    return f;
}
