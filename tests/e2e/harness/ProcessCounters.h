#pragma once

// What a program holds, counted from outside its process (under Wine 8 its own counters,
// GetGuiResources, GetProcessHandleCount and the private bytes, read 0, so there the GDI objects
// and handles are counted in Wine's tables; on Windows they come from its own counters): for
// the soak, and for the tests that a repeated action leaks nothing. Also the Unix processes behind
// a program and behind Wine's server, and the processor time they use, read through Z:\proc.

#include "e2e/harness/Harness.h"

#include <string>

namespace e2e
{

// The Unix process that runs the program copied into a private folder: the one of this
// driver's Wine prefix whose command line names mirufon.exe in a path holding unixMarker (the
// folder's name). 0 when none does.
unsigned long FindUnixProgram(const std::wstring& unixMarker);
// The Unix process of this driver's prefix whose command line, its arguments joined by spaces,
// holds the text (a program's file name and an argument, say). 0 when none does.
unsigned long FindUnixCommand(const std::wstring& text);
// Wine's server for this driver's prefix: the wineserver process whose environment holds the
// same WINEPREFIX as the driver's own Unix process. It serves every process of the prefix, the
// driver's included. 0 when none is found.
unsigned long FindWineServer();
// The processor time, user and system, that a Unix process has used so far, in seconds (from
// its stat, in ticks of 1/100 s); negative when it cannot be read.
double UnixProcessorSeconds(unsigned long unixPid);

struct Counters
{
    long gdiObjects = -1; // under Wine the entries of its GDI handle table (its PEB points to it)
    long handles = -1;    // its kernel handles; under Wine from the system's handle list
    long unixFiles = -1;  // open file descriptors of the Unix process that runs it
    long windows = -1;    // its top-level windows and their children
    long rssAnonKb = -1;  // anonymous resident memory of the Unix process (RssAnon)
};

// The counters of one running program. unixMarker is a piece of the program's path that only
// its Unix process has on its command line (its private folder); without one, the counters of
// the Unix process stay at -1.
class ProgramCounters
{
  public:
    ProgramCounters(DWORD processId, const std::wstring& unixMarker);
    ProgramCounters(const ProgramCounters&) = delete;
    ProgramCounters& operator=(const ProgramCounters&) = delete;
    ~ProgramCounters();

    Counters Sample();
    // The Unix process id found, 0 when none was.
    unsigned long UnixProcessId() const { return m_unixPid; }

  private:
    long GdiObjects() const;
    long Handles() const;
    long Windows() const;

    DWORD m_processId;
    HANDLE m_process = nullptr;
    unsigned long m_unixPid = 0;
};

} // namespace e2e
