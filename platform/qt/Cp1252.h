#pragma once

#include <QString>

#include <string>
#include <string_view>

// The program keeps its texts as single-byte Windows-1252 strings; Qt wants Unicode.
namespace platform {

QString FromCp1252(std::string_view text);
// Characters without a Windows-1252 byte become "?".
std::string ToCp1252(const QString& text);

} // namespace platform
