#include "shell/AppInfo.h"

#include "text/UiText.h"

#include <string>
#include <string_view>

namespace mirufon
{

std::wstring GetVersionText(int major, int minor, int revision)
{
    std::wstring text = L"Ver";
    text += std::to_wstring(major);
    text += L".";
    text += std::to_wstring(minor);
    text += std::to_wstring(revision);
    return text;
}

std::wstring GetVersionText()
{
    return GetVersionText(kVersionMajor, kVersionMinor, kVersionRevision);
}

std::wstring GetAppTitle(int major, int minor, int revision)
{
    std::wstring title(Text(UiText::AppName));
    title += L" ";
    title += GetVersionText(major, minor, revision);
    return title;
}

std::wstring GetAppTitle()
{
    return GetAppTitle(kVersionMajor, kVersionMinor, kVersionRevision);
}

std::wstring VersionMenuText(std::wstring_view exeBaseName, std::wstring_view companyName)
{
    std::wstring text(exeBaseName);
    text += L" ";
    text += GetVersionText();
    text += L"  ";
    text += companyName;
    return text;
}

std::wstring AlreadyRunningText(std::wstring_view exeBaseName)
{
    return FormatText(UiText::AlreadyRunning, exeBaseName);
}

std::wstring StartFailedText(std::wstring_view systemMessage)
{
    std::wstring text(Text(UiText::StartFailed));
    if (!systemMessage.empty())
    {
        text += L"\r\n";
        text += systemMessage;
    }
    return text;
}

} // namespace mirufon
