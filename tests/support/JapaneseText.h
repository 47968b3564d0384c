#pragma once

// Whether a text holds Japanese: kana, CJK punctuation, ideographs or full-width forms. The
// English texts must hold none of it.

#include <string_view>

namespace testsupport
{

inline bool HasJapanese(std::wstring_view text)
{
    for (const wchar_t ch : text)
    {
        if ((ch >= 0x3000 && ch <= 0x30FF) || (ch >= 0x4E00 && ch <= 0x9FFF) ||
            (ch >= 0xFF00 && ch <= 0xFFEF))
        {
            return true;
        }
    }
    return false;
}

} // namespace testsupport
