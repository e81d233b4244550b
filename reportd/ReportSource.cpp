#include "reportd/ReportSource.h"

#include "platform/CText.h"

std::string CleanReport(const std::string& line) {
    std::string text = platform::Trim(line);
    for (const char* prefix : {"METAR ", "SPECI "})
        if (text.rfind(prefix, 0) == 0)
            text = platform::Trim(text.substr(6));
    return text;
}
