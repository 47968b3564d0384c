#pragma once

#include "settings/Settings.h"

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace mirufon
{

// The hotkey frame of the settings dialog: six key lists of the letters "A" to "Z" and one
// list of modifiers that all six share. This is its logic without the controls: which list
// edits which settings field, what the lists show for the stored values, what "OK" writes back
// and when a list's letter clashes with another's.

inline constexpr std::size_t kKeyListCount = 6;
inline constexpr int kLetterCount = 26;
inline constexpr int kNoLetter = -1;

// The entries of the modifier list, in list order.
inline constexpr std::array<std::wstring_view, 4> kModifierEntries = {L"Shift", L"Ctrl", L"Alt",
                                                                      L"Shift+Ctrl"};

// The key lists in the order they stand on screen (rows 1 to 6), which is also the order in
// which they are filled: the list indexes are tied to the commands, not to the rows.
inline constexpr std::array<int, kKeyListCount> kKeyListRows = {0, 4, 1, 2, 3, 5};

// The entry text of a key list: "A" for 0 ... "Z" for 25; empty outside that range.
std::wstring KeyLetter(int letter);

// The settings field a key list edits: 0 nameKey, 1 lineBreakKey, 2 cancelKey,
// 3 stopKey, 4 valueKey, 5 harvestKey. The list index must be 0 to 5.
std::wstring& KeyListField(Settings& settings, std::size_t list);
const std::wstring& KeyListField(const Settings& settings, std::size_t list);

// What the frame shows: per key list the letter index (0 "A" ... 25 "Z", kNoLetter for no
// selection), the modifier entry index (0 to 3), and the two check boxes of the dialog's
// "その他" frame (1 checked, 0 not).
struct EditorState
{
    std::array<int, kKeyListCount> letter{};
    int modifier = 0;
    int tabSeparated = 0;
    int captureCopies = 0;

    friend bool operator==(const EditorState&, const EditorState&) = default;
};

// The modifier entry a stored text shows: the entry it equals without regard to ASCII case;
// "Shift" (0) for anything else.
int ModifierOfText(std::wstring_view modify) noexcept;

// The state the frame opens with.
EditorState EditorStateFor(const Settings& settings);

// Writes what the user accepted: `shown` is the state at "OK" (or the close box), `filled` the
// state EditorStateFor gave when the dialog opened. Edits the seven hotkey fields, tabSeparated and
// captureCopies, nothing else.
void StoreEditorState(const EditorState& shown, const EditorState& filled, Settings& settings);

// The caption of every prefix label: the modifier entry and "+" ("Shift+Ctrl+"). An index
// outside 0 to 3 gives the "Shift+" of the fallback modifier.
std::wstring PrefixLabel(int modifier);

// Whether another key list than k shows the same letter as list k. A list without a letter
// clashes with nothing, not even with another list without a letter: neither holds a key that
// could be pressed twice. False when k is not 0 to 5.
bool IsDuplicate(const std::array<int, kKeyListCount>& letters, int k) noexcept;

} // namespace mirufon
