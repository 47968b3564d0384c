#include "support/ChildProcess.h"

namespace testsupport
{

ChildProcess::ChildProcess(const std::wstring& arguments)
{
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(self) + L"\" " + arguments;
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE writeEnd = nullptr;
    if (!::CreatePipe(&m_output, &writeEnd, &inherit, 0))
    {
        m_output = nullptr;
        return;
    }
    // Only the write end goes to the child: the read end sees the output's end once it exits.
    ::SetHandleInformation(m_output, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                          &startup, &m_process))
    {
        m_process = {};
    }
    ::CloseHandle(writeEnd);
}

ChildProcess::~ChildProcess()
{
    if (m_process.hProcess)
    {
        ::CloseHandle(m_process.hThread);
        ::CloseHandle(m_process.hProcess);
    }
    if (m_output)
    {
        ::CloseHandle(m_output);
    }
}

std::string ChildProcess::ReadLine()
{
    std::string line;
    char c = 0;
    DWORD read = 0;
    while (Started() && ::ReadFile(m_output, &c, 1, &read, nullptr) && read == 1 && c != '\n')
    {
        line += c;
    }
    return line;
}

std::string ChildProcess::ReadAll()
{
    std::string output;
    char buffer[256];
    DWORD read = 0;
    while (Started() && ::ReadFile(m_output, buffer, sizeof buffer, &read, nullptr) && read > 0)
    {
        output.append(buffer, read);
    }
    return output;
}

} // namespace testsupport
