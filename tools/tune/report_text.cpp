#include "report_text.h"

#include <cstdio>

namespace velmora::tune {

void Add(std::string& out, std::initializer_list<std::string_view> parts) {
    for (std::string_view part : parts) {
        out.append(part);
    }
}

std::string EscapeMarkup(const std::string& text) {
    std::string escaped;
    for (char c : text) {
        switch (c) {
            case '<':
                escaped += "&lt;";
                break;
            case '>':
                escaped += "&gt;";
                break;
            case '&':
                escaped += "&amp;";
                break;
            case '"':
                escaped += "&quot;";
                break;
            default:
                escaped += c;
        }
    }
    return escaped;
}

std::string FormatNumber(const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

}  // namespace velmora::tune
