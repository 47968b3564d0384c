#pragma once

#include "platform/HotKeyApi.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace mirufon
{

// A global atom table and a hotkey registry that behave like the system's: adding an existing
// name (ASCII case ignored) returns the same atom and counts one more reference, deleting
// drops one and frees the atom at zero, new atoms take the lowest free value from 0xC000 up.
// A combination or id that is already registered is refused, as are combinations another
// program holds (Refuse). Every Register and Unregister is recorded in order.
class FakeHotKeyApi final : public HotKeyApi
{
  public:
    struct Call
    {
        bool isRegister = false;
        std::int32_t id = 0;
        unsigned modifiers = 0;  // Register only
        unsigned virtualKey = 0; // Register only
        bool effective = false;  // Register accepted, or Unregister removed a live hotkey
    };

    using Combination = std::pair<unsigned, unsigned>; // modifiers, virtual key

    // Every Register ("hotkey+" and the key) and Unregister ("hotkey-") is also written to the
    // journal, where tests follow the order of calls across several fakes.
    void SetJournal(std::vector<std::string>* journal) { m_journal = journal; }

    // The keys held down now.
    std::set<unsigned> keysDown;

    // Another program holds this combination.
    void Refuse(unsigned modifiers, unsigned virtualKey)
    {
        m_refused.insert({modifiers, virtualKey});
    }
    // The table refuses to add this name.
    void FailAddAtom(std::wstring_view name) { m_failingNames.insert(Key(name)); }

    int References(std::wstring_view name) const
    {
        for (const auto& [atom, entry] : m_atoms)
        {
            if (entry.name == Key(name))
            {
                return entry.references;
            }
        }
        return 0;
    }
    std::size_t AtomCount() const { return m_atoms.size(); }
    int AddAtomCalls() const { return m_addAtomCalls; }
    // DeleteGlobalAtom calls for atoms that were not in the table.
    int StrayDeletes() const { return m_strayDeletes; }
    const std::vector<Call>& Calls() const { return m_calls; }
    void ClearCalls() { m_calls.clear(); }
    // The hotkeys registered now: id -> combination.
    const std::map<std::int32_t, Combination>& Live() const { return m_live; }

    std::uint16_t AddGlobalAtom(std::wstring_view name) override
    {
        ++m_addAtomCalls;
        const std::wstring key = Key(name);
        if (m_failingNames.count(key) != 0)
        {
            return 0;
        }
        for (auto& [atom, entry] : m_atoms)
        {
            if (entry.name == key)
            {
                ++entry.references;
                return atom;
            }
        }
        std::uint16_t atom = 0xC000;
        while (m_atoms.count(atom) != 0)
        {
            ++atom;
        }
        m_atoms[atom] = Entry{key, 1};
        return atom;
    }

    void DeleteGlobalAtom(std::uint16_t atom) override
    {
        const auto found = m_atoms.find(atom);
        if (found == m_atoms.end())
        {
            ++m_strayDeletes;
            return;
        }
        if (--found->second.references == 0)
        {
            m_atoms.erase(found);
        }
    }

    bool Register(std::int32_t id, unsigned modifiers, unsigned virtualKey) override
    {
        const Combination combination{modifiers, virtualKey};
        bool accepted = m_refused.count(combination) == 0 && m_live.count(id) == 0;
        for (const auto& [liveId, liveCombination] : m_live)
        {
            accepted = accepted && liveCombination != combination;
        }
        if (accepted)
        {
            m_live[id] = combination;
        }
        m_calls.push_back(Call{true, id, modifiers, virtualKey, accepted});
        if (m_journal)
        {
            m_journal->push_back("hotkey+" + std::string(1, static_cast<char>(virtualKey)));
        }
        return accepted;
    }

    void Unregister(std::int32_t id) override
    {
        const bool removed = m_live.erase(id) != 0;
        m_calls.push_back(Call{false, id, 0, 0, removed});
        if (m_journal)
        {
            m_journal->push_back("hotkey-");
        }
    }

    bool IsKeyDown(unsigned virtualKey) override { return keysDown.count(virtualKey) != 0; }

  private:
    struct Entry
    {
        std::wstring name;
        int references = 0;
    };

    static std::wstring Key(std::wstring_view name)
    {
        std::wstring key(name);
        for (wchar_t& ch : key)
        {
            if (ch >= L'a' && ch <= L'z')
            {
                ch = static_cast<wchar_t>(ch - L'a' + L'A');
            }
        }
        return key;
    }

    std::map<std::uint16_t, Entry> m_atoms;
    std::set<std::wstring> m_failingNames;
    std::set<Combination> m_refused;
    std::map<std::int32_t, Combination> m_live;
    std::vector<Call> m_calls;
    int m_addAtomCalls = 0;
    int m_strayDeletes = 0;
    std::vector<std::string>* m_journal = nullptr;
};

} // namespace mirufon
