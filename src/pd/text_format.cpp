#include "pd/text_format.h"

#include <cstdarg>
#include <cstdio>

namespace {

void AppendFormatV(std::string& out, const char* format, va_list args) {
    char small[256];
    va_list copy;
    va_copy(copy, args);
    const int length = std::vsnprintf(small, sizeof small, format, copy);
    va_end(copy);
    if (length <= 0) {
        return;
    }
    if (static_cast<size_t>(length) < sizeof small) {
        out.append(small, static_cast<size_t>(length));
        return;
    }
    const size_t start = out.size();
    out.resize(start + static_cast<size_t>(length) + 1);
    std::vsnprintf(out.data() + start, static_cast<size_t>(length) + 1, format, args);
    out.resize(start + static_cast<size_t>(length));
}

}  // namespace

std::string FormatText(const char* format, ...) {
    std::string out;
    va_list args;
    va_start(args, format);
    AppendFormatV(out, format, args);
    va_end(args);
    return out;
}

void AppendFormat(std::string& out, const char* format, ...) {
    va_list args;
    va_start(args, format);
    AppendFormatV(out, format, args);
    va_end(args);
}

void AppendJsonString(std::string& out, const std::string& text) {
    out += '"';
    for (const char c : text) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    AppendFormat(out, "\\u%04x", static_cast<unsigned>(c));
                } else {
                    out += c;
                }
                break;
        }
    }
    out += '"';
}
