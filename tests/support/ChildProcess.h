#pragma once

// This program started again with other arguments (a helper role of its own: a list in another
// process, a probe), its standard output going to a pipe that this program reads.

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <string>

namespace testsupport
{

class ChildProcess
{
  public:
    // Starts this program's executable with the arguments.
    explicit ChildProcess(const std::wstring& arguments);
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    // Closes the handles; the process goes on if it has not ended.
    ~ChildProcess();

    bool Started() const { return m_process.hProcess != nullptr; }
    HANDLE Process() const { return m_process.hProcess; }
    // The output up to the first line break, without it; what there is when the output ends.
    std::string ReadLine();
    // The output up to its end (the process has ended or closed it).
    std::string ReadAll();

  private:
    PROCESS_INFORMATION m_process{};
    HANDLE m_output = nullptr;
};

} // namespace testsupport
