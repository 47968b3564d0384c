#pragma once

#include "platform/ClipboardChain.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace mirufon
{

// The clipboard viewer chain and clipboard as the main window sees them. Records every call in
// order. Joining returns the scripted head of the chain; joining while already in the chain is
// counted, since the real system would then make the window its own successor. The foreground
// window and the availability of text are scripted; reads come from a queue of scripted
// results and, once it is empty, succeed with the clipboard's text.
class FakeClipboardChain final : public ClipboardChainApi
{
  public:
    enum class Kind
    {
        Join,
        Leave,
        Send,
        Foreground,
        TextAvailable,
        Read,
    };

    struct Call
    {
        Kind kind = Kind::Join;
        WindowId window = 0; // Leave: the next viewer named; Send: the receiver
        unsigned message = 0;
        std::uintptr_t wParam = 0;
        std::intptr_t lParam = 0;
    };

    // The window that follows the main window once it has joined.
    void SetHead(WindowId head) { m_head = head; }
    void SetForeground(WindowId window) { m_foreground = window; }
    void SetTextAvailable(bool available) { m_textAvailable = available; }
    void SetText(std::wstring text) { m_text = std::move(text); }
    // A copy: the clipboard holds the text in a new state, with the next sequence number
    // (until then reads give number 0, a system that keeps none).
    void Change(std::wstring text)
    {
        m_text = std::move(text);
        ++m_sequence;
    }
    void QueueRead(ClipboardRead read) { m_reads.push_back(std::move(read)); }
    void QueueFailures(int count, long number, const std::wstring& description)
    {
        for (int i = 0; i < count; ++i)
        {
            m_reads.push_back(ClipboardRead{false, L"", number, description});
        }
    }
    // Joining, leaving and sending ("join", "leave", "send") are also written to the journal,
    // where tests follow the order of calls across several fakes.
    void SetJournal(std::vector<std::string>* journal) { m_journal = journal; }
    // Runs inside JoinChain, standing for a notification the system sends while joining.
    void OnJoin(std::function<void()> onJoin) { m_onJoin = std::move(onJoin); }

    const std::vector<Call>& Calls() const { return m_calls; }
    void ClearCalls() { m_calls.clear(); }
    std::vector<Call> Sends() const { return Only(Kind::Send); }
    int Count(Kind kind) const { return static_cast<int>(Only(kind).size()); }
    bool InChain() const { return m_inChain; }
    int Rejoins() const { return m_rejoins; }

    WindowId JoinChain() override
    {
        m_calls.push_back(Call{Kind::Join});
        Note("join");
        if (m_inChain)
        {
            ++m_rejoins;
        }
        m_inChain = true;
        if (m_onJoin)
        {
            m_onJoin();
        }
        return m_head;
    }

    void LeaveChain(WindowId next) override
    {
        m_calls.push_back(Call{Kind::Leave, next});
        Note("leave");
        m_inChain = false;
    }

    void SendToNext(WindowId next, unsigned message, std::uintptr_t wParam,
                    std::intptr_t lParam) override
    {
        m_calls.push_back(Call{Kind::Send, next, message, wParam, lParam});
        Note("send");
    }

    WindowId Foreground() override
    {
        m_calls.push_back(Call{Kind::Foreground});
        return m_foreground;
    }

    bool TextAvailable() override
    {
        m_calls.push_back(Call{Kind::TextAvailable});
        return m_textAvailable;
    }

    ClipboardRead ReadText() override
    {
        m_calls.push_back(Call{Kind::Read});
        if (m_reads.empty())
        {
            return ClipboardRead{true, m_text, 0, L"", m_sequence};
        }
        ClipboardRead read = std::move(m_reads.front());
        m_reads.pop_front();
        return read;
    }

  private:
    void Note(const char* what)
    {
        if (m_journal)
        {
            m_journal->push_back(what);
        }
    }

    std::vector<Call> Only(Kind kind) const
    {
        std::vector<Call> calls;
        for (const Call& call : m_calls)
        {
            if (call.kind == kind)
            {
                calls.push_back(call);
            }
        }
        return calls;
    }

    std::vector<Call> m_calls;
    std::deque<ClipboardRead> m_reads;
    std::function<void()> m_onJoin;
    std::wstring m_text = L"copied";
    std::uint32_t m_sequence = 0;
    WindowId m_head = 0;
    WindowId m_foreground = 0;
    bool m_textAvailable = true;
    bool m_inChain = false;
    int m_rejoins = 0;
    std::vector<std::string>* m_journal = nullptr;
};

} // namespace mirufon
