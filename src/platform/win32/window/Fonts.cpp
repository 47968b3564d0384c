#include "platform/win32/window/Fonts.h"

#include "text/UiText.h"

namespace mirufon::win32
{
namespace
{

int CALLBACK NoteFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found)
{
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

bool FaceExists(const wchar_t* face)
{
    LOGFONTW query{};
    query.lfCharSet = DEFAULT_CHARSET;
    ::lstrcpynW(query.lfFaceName, face, LF_FACESIZE);
    bool found = false;
    HDC screen = ::GetDC(nullptr);
    ::EnumFontFamiliesExW(screen, &query, &NoteFound, reinterpret_cast<LPARAM>(&found), 0);
    ::ReleaseDC(nullptr, screen);
    return found;
}

constexpr wchar_t kProportionalFace[] = L"ＭＳ Ｐゴシック";
constexpr wchar_t kFixedFace[] = L"ＭＳ ゴシック";
constexpr int kNormalSize = 975;   // 9.75 pt
constexpr int kMessageSize = 1575; // 15.75 pt

// The system's font for messages, at the role's size: what an English user interface shows, as
// the Japanese faces are an optional extra on other Windows.
UniqueFont CreateMessageFont(int hundredthsOfPoint, int dotsPerInch)
{
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    LOGFONTW font{};
    if (::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
    {
        font = metrics.lfMessageFont;
    }
    font.lfHeight = -::MulDiv(hundredthsOfPoint, dotsPerInch, 7200);
    font.lfWidth = 0;
    font.lfWeight = FW_NORMAL;
    return UniqueFont(::CreateFontIndirectW(&font));
}

// A font of the Japanese character set at a size in hundredths of a point (975 is 9.75 pt)
// for a screen of the given DPI. When the system lacks the named face,
// the system's own UI font for messages takes its place, which on Japanese systems shows
// Japanese text.
UniqueFont CreateJapaneseFont(const wchar_t* face, int hundredthsOfPoint, int dotsPerInch)
{
    LOGFONTW font{};
    font.lfHeight = -::MulDiv(hundredthsOfPoint, dotsPerInch, 7200);
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = SHIFTJIS_CHARSET;
    font.lfQuality = DEFAULT_QUALITY;
    ::lstrcpynW(font.lfFaceName, face, LF_FACESIZE);
    if (!FaceExists(face))
    {
        NONCLIENTMETRICSW metrics{};
        metrics.cbSize = sizeof metrics;
        if (::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
        {
            ::lstrcpynW(font.lfFaceName, metrics.lfMessageFont.lfFaceName, LF_FACESIZE);
            font.lfCharSet = DEFAULT_CHARSET;
        }
    }
    return UniqueFont(::CreateFontIndirectW(&font));
}

} // namespace

UniqueFont CreateProgramFont(FontRole role, int dotsPerInch)
{
    if (CurrentLanguage() != Language::Japanese)
    {
        return CreateMessageFont(role == FontRole::Message ? kMessageSize : kNormalSize,
                                 dotsPerInch);
    }
    switch (role)
    {
    case FontRole::Text:
        return CreateJapaneseFont(kFixedFace, kNormalSize, dotsPerInch);
    case FontRole::Message:
        return CreateJapaneseFont(kProportionalFace, kMessageSize, dotsPerInch);
    case FontRole::Label:
        break;
    }
    return CreateJapaneseFont(kProportionalFace, kNormalSize, dotsPerInch);
}

} // namespace mirufon::win32
