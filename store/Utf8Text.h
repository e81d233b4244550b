#pragma once

#include <string>
#include <string_view>

// The program's texts are Windows-1252; the file and the exported CSV hold UTF-8, which other
// tools read. The five bytes Windows-1252 leaves undefined map to the C1 controls of the same
// number, so every byte string comes back as it went in.
std::string Utf8FromCp1252(std::string_view text);

// Characters without a Windows-1252 byte, and bytes that are not UTF-8, become "?".
std::string Cp1252FromUtf8(std::string_view text);
