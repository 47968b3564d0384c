#include "hotkeys/HotKeyEditor.h"

#include "text/AsciiCase.h"

namespace mirufon
{

namespace
{

bool IsLetterIndex(int letter) noexcept
{
    return letter >= 0 && letter < kLetterCount;
}

bool IsModifierIndex(int modifier) noexcept
{
    return modifier >= 0 && static_cast<std::size_t>(modifier) < kModifierEntries.size();
}

// A check box's state written back: the stored value while the box shows what it showed at
// opening, 1 or 0 once the user has changed it.
std::int16_t StoredFlag(int shown, int filled, std::int16_t stored) noexcept
{
    if (shown == filled)
    {
        return stored;
    }
    return shown != 0 ? 1 : 0;
}

// The field of a key list, for a const or a mutable record alike.
template <typename Record> auto& FieldOfList(Record& settings, std::size_t list)
{
    switch (list)
    {
    case 0:
        return settings.nameKey;
    case 1:
        return settings.lineBreakKey;
    case 2:
        return settings.cancelKey;
    case 3:
        return settings.stopKey;
    case 4:
        return settings.valueKey;
    default:
        return settings.harvestKey;
    }
}

// Only a hand-edited Conf.txt holds anything but "A" to "Z". A text that starts with a letter
// shows that letter as a capital: it is the key the hotkey registration takes from such a text
// too, so the list shows the key that works now. Any other text has no entry to show.
int LetterOfKey(std::wstring_view key) noexcept
{
    if (key.empty())
    {
        return kNoLetter;
    }
    const wchar_t first = key.front();
    if (first >= L'A' && first <= L'Z')
    {
        return first - L'A';
    }
    if (first >= L'a' && first <= L'z')
    {
        return first - L'a';
    }
    return kNoLetter;
}

} // namespace

std::wstring KeyLetter(int letter)
{
    if (!IsLetterIndex(letter))
    {
        return {};
    }
    return std::wstring(1, static_cast<wchar_t>(L'A' + letter));
}

std::wstring& KeyListField(Settings& settings, std::size_t list)
{
    return FieldOfList(settings, list);
}

const std::wstring& KeyListField(const Settings& settings, std::size_t list)
{
    return FieldOfList(settings, list);
}

// An unknown modifier registers as Shift, so the list shows "Shift", the modifier in force.
int ModifierOfText(std::wstring_view modify) noexcept
{
    for (std::size_t i = 0; i < kModifierEntries.size(); ++i)
    {
        if (EqualsIgnoringAsciiCase(modify, kModifierEntries[i]))
        {
            return static_cast<int>(i);
        }
    }
    return 0;
}

EditorState EditorStateFor(const Settings& settings)
{
    EditorState state;
    for (const int list : kKeyListRows)
    {
        const auto index = static_cast<std::size_t>(list);
        state.letter[index] = LetterOfKey(KeyListField(settings, index));
    }
    state.modifier = ModifierOfText(settings.modifier);
    // A flag other than 0 or 1 does not switch its feature on (only 1 does), so its box shows
    // unchecked, which is how the program behaves with it.
    state.tabSeparated = settings.tabSeparated == 1 ? 1 : 0;
    state.captureCopies = settings.captureCopies == 1 ? 1 : 0;
    return state;
}

// Only what the user saw and accepted is written:
// - a list that shows a letter writes that letter, also when the stored text was "a" or "Qx"
//   (the user saw "A" or "Q" and accepted it);
// - a list that shows no letter (the stored text started with no letter, and the user picked
//   none) writes nothing: the stored text stays as it was, and so does its hotkey;
// - the modifier list always shows an entry and writes it;
// - a check box the user left as it opened keeps the stored value, even a value such as 2
//   that it could not show; a box the user changed writes 1 or 0.
void StoreEditorState(const EditorState& shown, const EditorState& filled, Settings& settings)
{
    for (std::size_t list = 0; list < kKeyListCount; ++list)
    {
        if (IsLetterIndex(shown.letter[list]))
        {
            KeyListField(settings, list) = KeyLetter(shown.letter[list]);
        }
    }
    if (IsModifierIndex(shown.modifier))
    {
        settings.modifier = std::wstring(kModifierEntries[shown.modifier]);
    }
    settings.tabSeparated =
        StoredFlag(shown.tabSeparated, filled.tabSeparated, settings.tabSeparated);
    settings.captureCopies =
        StoredFlag(shown.captureCopies, filled.captureCopies, settings.captureCopies);
}

std::wstring PrefixLabel(int modifier)
{
    const std::wstring_view entry =
        IsModifierIndex(modifier) ? kModifierEntries[modifier] : kModifierEntries[0];
    return std::wstring(entry) + L"+";
}

bool IsDuplicate(const std::array<int, kKeyListCount>& letters, int k) noexcept
{
    if (k < 0 || static_cast<std::size_t>(k) >= kKeyListCount)
    {
        return false;
    }
    const int letter = letters[static_cast<std::size_t>(k)];
    if (!IsLetterIndex(letter))
    {
        return false;
    }
    for (std::size_t i = 0; i < kKeyListCount; ++i)
    {
        if (static_cast<int>(i) != k && letters[i] == letter)
        {
            return true;
        }
    }
    return false;
}

} // namespace mirufon
