#include "platform/win32/Program.h"

#include "platform/win32/mainwindow/MainWindowSignals.h"
#include "platform/win32/reading/ElementReading.h"
#include "platform/win32/reading/MessageReader.h"
#include "platform/win32/reading/RemoteMemory.h"

namespace mirufon::win32
{

Program::WindowServices::WindowServices(HWND window)
    : hotKeyApi(window), clipboard(window, kClipboardReadDone), pointer(window),
      readWorkers(window, kReadDone, &ReadAtPoint)
{
}

Program::Program(HINSTANCE instance)
    : m_com(COINIT_APARTMENTTHREADED), m_storage(LocateOwnStorage()),
      m_conf(m_storage.conf, m_storage.confStartingPoint),
      m_journal(m_storage.journalFolder, m_storage.earlierJournalFolder), m_window(instance)
{
}

bool Program::Start()
{
    if (!m_window.Create())
    {
        return false;
    }
    m_services.emplace(m_window.Handle());
    m_controller.emplace(AppServices{m_window.Parts(),
                                     {m_services->hotKeyApi, m_services->clipboard,
                                      m_services->pointer, m_services->readWorkers, m_clock},
                                     {m_conf, m_journal, m_logFiles}});
    m_connection.emplace(m_window, *m_controller);
    m_controller->Start();
    return true;
}

int Program::Run()
{
    MSG message{};
    while (::GetMessageW(&message, nullptr, 0, 0) > 0)
    {
        if (m_window.TranslateDialogMessage(message))
        {
            continue;
        }
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    // A harvest may still be reading another program: the memory it put there is freed now,
    // unless a message pointing into it stays unanswered past the wait.
    FreeRemoteBlocksAtExit(kControlMessageLimit + std::chrono::milliseconds(100));
    return static_cast<int>(message.wParam);
}

} // namespace mirufon::win32
