#include "hotkeys/HotKeyEditor.h"

#include <gtest/gtest.h>

#include <string>

namespace mirufon
{
namespace
{

constexpr int A = 0;
constexpr int B = 1;
constexpr int E = 4;
constexpr int G = 6;
constexpr int L = 11;
constexpr int Q = 16;
constexpr int Z = 25;
using Letters = std::array<int, kKeyListCount>;

TEST(HotKeyEditor, EachListEditsItsOwnField)
{
    Settings settings;
    KeyListField(settings, 0) = L"0";
    KeyListField(settings, 1) = L"1";
    KeyListField(settings, 2) = L"2";
    KeyListField(settings, 3) = L"3";
    KeyListField(settings, 4) = L"4";
    KeyListField(settings, 5) = L"5";
    EXPECT_EQ(settings.nameKey, L"0");
    EXPECT_EQ(settings.lineBreakKey, L"1");
    EXPECT_EQ(settings.cancelKey, L"2");
    EXPECT_EQ(settings.stopKey, L"3");
    EXPECT_EQ(settings.valueKey, L"4");
    EXPECT_EQ(settings.harvestKey, L"5");
    // Rows 1 to 6 on screen: get name, get value, newline, cancel last, stop/resume, harvest.
    EXPECT_EQ(kKeyListRows, (Letters{0, 4, 1, 2, 3, 5}));

    EXPECT_EQ(PrefixLabel(0), L"Shift+");
    EXPECT_EQ(PrefixLabel(3), L"Shift+Ctrl+");
    EXPECT_EQ(PrefixLabel(-1), L"Shift+");
    EXPECT_EQ(KeyLetter(25), L"Z");
    EXPECT_EQ(KeyLetter(26), L"");
}

TEST(HotKeyEditor, DefaultsShowAZEBGLAndShiftAndStoreBackUnchanged)
{
    Settings settings;
    const EditorState filled = EditorStateFor(settings);
    // Index order: get name, newline, cancel last, stop/resume, get value, harvest.
    EXPECT_EQ(filled.letter, (Letters{A, E, B, G, Z, L}));
    EXPECT_EQ(filled.modifier, 0);
    EXPECT_EQ(filled.tabSeparated, 0);
    EXPECT_EQ(filled.captureCopies, 0);

    StoreEditorState(filled, filled, settings);
    const Settings defaults;
    for (std::size_t list = 0; list < kKeyListCount; ++list)
    {
        EXPECT_EQ(KeyListField(settings, list), KeyListField(defaults, list)) << list;
    }
    EXPECT_EQ(settings.modifier, L"Shift");
    EXPECT_EQ(settings.tabSeparated, 0);
    EXPECT_EQ(settings.captureCopies, 0);
}

TEST(HotKeyEditor, StoreWritesTheChoicesAndNothingElse)
{
    Settings settings;
    settings.startInTray = 1;
    const EditorState filled = EditorStateFor(settings);
    EditorState shown{{Q, 17, 18, A, A, L}, 3, 1, 1}; // Q R S, a duplicate A A, then L
    StoreEditorState(shown, filled, settings);
    EXPECT_EQ(settings.nameKey, L"Q");
    EXPECT_EQ(settings.lineBreakKey, L"R");
    EXPECT_EQ(settings.cancelKey, L"S");
    // The close box stores without the duplicate test: duplicates reach the record.
    EXPECT_EQ(settings.stopKey, L"A");
    EXPECT_EQ(settings.valueKey, L"A");
    EXPECT_EQ(settings.modifier, L"Shift+Ctrl");
    EXPECT_EQ(settings.tabSeparated, 1);
    EXPECT_EQ(settings.captureCopies, 1);
    // The separator follows tabSeparated only when the owner re-applies the settings.
    EXPECT_EQ(settings.separator, L"\r\n");
    EXPECT_EQ(settings.startInTray, 1);
}

TEST(HotKeyEditorHandEdited, KeyTextsThatStartWithALetterShowItAndOkWritesIt)
{
    Settings settings;
    settings.nameKey = L"q";           // lower case
    settings.lineBreakKey = L"Qwerty"; // several characters
    settings.cancelKey = L"b ";        // a trailing space kept by the file reader
    const EditorState filled = EditorStateFor(settings);
    EXPECT_EQ(filled.letter[0], Q);
    EXPECT_EQ(filled.letter[1], Q);
    EXPECT_EQ(filled.letter[2], B);
    StoreEditorState(filled, filled, settings);
    EXPECT_EQ(settings.nameKey, L"Q");
    EXPECT_EQ(settings.lineBreakKey, L"Q");
    EXPECT_EQ(settings.cancelKey, L"B");
}

TEST(HotKeyEditorHandEdited, KeyTextsWithoutALetterShowNothingAndSurviveOk)
{
    Settings settings;
    settings.nameKey = L"";
    settings.lineBreakKey = L"1";
    settings.cancelKey = L"あ";
    settings.stopKey = L" G";  // no letter first
    settings.valueKey = L"Ａ"; // a full-width letter is not one of the entries
    settings.harvestKey = L"";
    const EditorState filled = EditorStateFor(settings);
    EXPECT_EQ(filled.letter, (Letters{-1, -1, -1, -1, -1, -1}));

    Settings untouched = settings;
    StoreEditorState(filled, filled, untouched);
    for (std::size_t list = 0; list < kKeyListCount; ++list)
    {
        EXPECT_EQ(KeyListField(untouched, list), KeyListField(settings, list)) << list;
    }

    // A letter the user picks replaces the stored text; the other lists keep theirs.
    EditorState shown = filled;
    shown.letter[1] = Z;
    StoreEditorState(shown, filled, settings);
    EXPECT_EQ(settings.lineBreakKey, L"Z");
    EXPECT_EQ(settings.cancelKey, L"あ");
}

TEST(HotKeyEditorHandEdited, ModifierMatchesIgnoringCaseOrShowsShift)
{
    EXPECT_EQ(ModifierOfText(L"ctrl"), 1);
    EXPECT_EQ(ModifierOfText(L"ALT"), 2);
    EXPECT_EQ(ModifierOfText(L"shift+CTRL"), 3);
    for (const wchar_t* text : {L"", L"Win", L"Ctrl+Shift", L" Ctrl", L"Ctrl ", L"Ｃｔｒｌ"})
    {
        EXPECT_EQ(ModifierOfText(text), 0) << text;
    }
    // "OK" writes what the list shows: the entry's own spelling, or "Shift" for the unknown.
    for (const auto& [stored, written] : {std::pair{L"ctrl", L"Ctrl"}, std::pair{L"Win", L"Shift"}})
    {
        Settings settings;
        settings.modifier = stored;
        StoreEditorState(EditorStateFor(settings), EditorStateFor(settings), settings);
        EXPECT_EQ(settings.modifier, written);
    }
}

TEST(HotKeyEditorHandEdited, CheckBoxesShowOnlyOneAsCheckedAndKeepOddValuesUntilChanged)
{
    Settings settings;
    settings.tabSeparated = 2;
    settings.captureCopies = -1;
    const EditorState filled = EditorStateFor(settings);
    EXPECT_EQ(filled.tabSeparated, 0);
    EXPECT_EQ(filled.captureCopies, 0);

    Settings untouched = settings;
    StoreEditorState(filled, filled, untouched);
    EXPECT_EQ(untouched.tabSeparated, 2);
    EXPECT_EQ(untouched.captureCopies, -1);

    EditorState shown = filled;
    shown.tabSeparated = 1;
    StoreEditorState(shown, filled, settings);
    EXPECT_EQ(settings.tabSeparated, 1);
    EXPECT_EQ(settings.captureCopies, -1);

    // Checked at opening and cleared by the user: 0.
    Settings on;
    on.captureCopies = 1;
    const EditorState onFilled = EditorStateFor(on);
    EXPECT_EQ(onFilled.captureCopies, 1);
    EditorState cleared = onFilled;
    cleared.captureCopies = 0;
    StoreEditorState(cleared, onFilled, on);
    EXPECT_EQ(on.captureCopies, 0);
}

TEST(HotKeyEditorDuplicate, AnotherListWithTheSameLetterClashes)
{
    Letters letters{A, E, B, G, Z, L};
    for (int k = 0; k < 6; ++k)
    {
        EXPECT_FALSE(IsDuplicate(letters, k)) << k;
    }
    letters[1] = A; // the newline list takes the get-name list's letter
    EXPECT_TRUE(IsDuplicate(letters, 1));
    EXPECT_TRUE(IsDuplicate(letters, 0));
    EXPECT_FALSE(IsDuplicate(letters, 2));
    EXPECT_TRUE(IsDuplicate({A, E, B, G, Z, A}, 5)); // the first and the last list
    EXPECT_FALSE(IsDuplicate(letters, -1));
    EXPECT_FALSE(IsDuplicate(letters, 6));

    // Lists without a letter clash with nothing, not even with each other.
    const Letters empty{-1, -1, A, -1, B, -1};
    EXPECT_FALSE(IsDuplicate(empty, 0));
    EXPECT_FALSE(IsDuplicate(empty, 3));

    // Hand-edited "a" and "A" both show "A" and so clash.
    Settings settings;
    settings.nameKey = L"a";
    settings.lineBreakKey = L"A";
    EXPECT_TRUE(IsDuplicate(EditorStateFor(settings).letter, 0));
}

} // namespace
} // namespace mirufon
