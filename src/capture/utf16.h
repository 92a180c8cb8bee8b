// UTF-8 <-> UTF-16 conversion for the face names of stored fonts and the text order of list
// rows. Malformed input never fails: each bad sequence becomes U+FFFD.
#pragma once

#include <string>
#include <string_view>

std::u16string Utf8ToUtf16(std::string_view text);
std::string Utf16ToUtf8(std::u16string_view text);
