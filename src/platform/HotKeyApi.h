#pragma once

#include <cstdint>
#include <string_view>

namespace mirufon
{

// The system's global atom table and hotkey registration, for the main window. Ids are the
// signed values the hotkey code derives from atoms; none of these calls throws.
class HotKeyApi
{
  public:
    HotKeyApi() = default;
    HotKeyApi(const HotKeyApi&) = delete;
    HotKeyApi& operator=(const HotKeyApi&) = delete;
    virtual ~HotKeyApi() = default;

    // Adds a reference to the global atom for name, creating it when it does not exist yet.
    // Returns the atom, or 0 when the table refused (no reference is then held).
    virtual std::uint16_t AddGlobalAtom(std::wstring_view name) = 0;

    // Drops one reference to the atom; the atom goes away with its last reference. A failure
    // (an atom that is not in the table) is not reported.
    virtual void DeleteGlobalAtom(std::uint16_t atom) = 0;

    // Asks the system to post WM_HOTKEY with wParam = id to the main window whenever the
    // combination is pressed, once per press: a key held down is not repeated. False when the
    // system refused, typically because another program, or another id, already holds the
    // combination; nothing is registered then.
    virtual bool Register(std::int32_t id, unsigned modifiers, unsigned virtualKey) = 0;

    // Withdraws the hotkey registered under id. Calling it for an id that is not registered
    // does nothing and is not reported.
    virtual void Unregister(std::int32_t id) = 0;

    // Whether the key is held down now, whichever program has the keyboard. False when the
    // system does not tell (another desktop is active, say).
    virtual bool IsKeyDown(unsigned virtualKey) = 0;
};

} // namespace mirufon
