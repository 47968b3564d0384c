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
    EXPECT_EQ(settings.HotKeyGetName, L"0");
    EXPECT_EQ(settings.HotKeyCrlf, L"1");
    EXPECT_EQ(settings.HotKeyBack, L"2");
    EXPECT_EQ(settings.HotKeyStop, L"3");
    EXPECT_EQ(settings.HotKeyGetValue, L"4");
    // Rows 1 to 5 on screen: get name, get value, newline, cancel last, stop/resume.
    EXPECT_EQ(kKeyListRows, (Letters{0, 4, 1, 2, 3}));

    EXPECT_EQ(PrefixLabel(0), L"Shift+");
    EXPECT_EQ(PrefixLabel(3), L"Shift+Ctrl+");
    EXPECT_EQ(PrefixLabel(-1), L"Shift+");
    EXPECT_EQ(KeyLetter(25), L"Z");
    EXPECT_EQ(KeyLetter(26), L"");
}

TEST(HotKeyEditor, DefaultsShowAZEBGAndShiftAndStoreBackUnchanged)
{
    Settings settings;
    const EditorState filled = FillEditor(settings);
    // Index order: get name, newline, cancel last, stop/resume, get value.
    EXPECT_EQ(filled.letter, (Letters{A, E, B, G, Z}));
    EXPECT_EQ(filled.modifier, 0);
    EXPECT_EQ(filled.separateTab, 0);
    EXPECT_EQ(filled.addCopy, 0);

    StoreEditor(filled, filled, settings);
    const Settings defaults;
    for (std::size_t list = 0; list < kKeyListCount; ++list)
    {
        EXPECT_EQ(KeyListField(settings, list), KeyListField(defaults, list)) << list;
    }
    EXPECT_EQ(settings.HotKeyModify, L"Shift");
    EXPECT_EQ(settings.SeparateTab, 0);
    EXPECT_EQ(settings.AddCopy, 0);
}

TEST(HotKeyEditor, StoreWritesTheChoicesAndNothingElse)
{
    Settings settings;
    settings.TaskTray = 1;
    const EditorState filled = FillEditor(settings);
    EditorState shown{{Q, 17, 18, A, A}, 3, 1, 1}; // Q R S, then a duplicate A A
    StoreEditor(shown, filled, settings);
    EXPECT_EQ(settings.HotKeyGetName, L"Q");
    EXPECT_EQ(settings.HotKeyCrlf, L"R");
    EXPECT_EQ(settings.HotKeyBack, L"S");
    // The close box stores without the duplicate test: duplicates reach the record.
    EXPECT_EQ(settings.HotKeyStop, L"A");
    EXPECT_EQ(settings.HotKeyGetValue, L"A");
    EXPECT_EQ(settings.HotKeyModify, L"Shift+Ctrl");
    EXPECT_EQ(settings.SeparateTab, 1);
    EXPECT_EQ(settings.AddCopy, 1);
    // The separator follows SeparateTab only when the owner re-applies the settings.
    EXPECT_EQ(settings.Separator, L"\r\n");
    EXPECT_EQ(settings.TaskTray, 1);
}

TEST(HotKeyEditorHandEdited, KeyTextsThatStartWithALetterShowItAndOkWritesIt)
{
    Settings settings;
    settings.HotKeyGetName = L"q";   // lower case
    settings.HotKeyCrlf = L"Qwerty"; // several characters
    settings.HotKeyBack = L"b ";     // a trailing space kept by the file reader
    const EditorState filled = FillEditor(settings);
    EXPECT_EQ(filled.letter[0], Q);
    EXPECT_EQ(filled.letter[1], Q);
    EXPECT_EQ(filled.letter[2], B);
    StoreEditor(filled, filled, settings);
    EXPECT_EQ(settings.HotKeyGetName, L"Q");
    EXPECT_EQ(settings.HotKeyCrlf, L"Q");
    EXPECT_EQ(settings.HotKeyBack, L"B");
}

TEST(HotKeyEditorHandEdited, KeyTextsWithoutALetterShowNothingAndSurviveOk)
{
    Settings settings;
    settings.HotKeyGetName = L"";
    settings.HotKeyCrlf = L"1";
    settings.HotKeyBack = L"あ";
    settings.HotKeyStop = L" G";     // no letter first
    settings.HotKeyGetValue = L"Ａ"; // a full-width letter is not one of the entries
    const EditorState filled = FillEditor(settings);
    EXPECT_EQ(filled.letter, (Letters{-1, -1, -1, -1, -1}));

    Settings untouched = settings;
    StoreEditor(filled, filled, untouched);
    for (std::size_t list = 0; list < kKeyListCount; ++list)
    {
        EXPECT_EQ(KeyListField(untouched, list), KeyListField(settings, list)) << list;
    }

    // A letter the user picks replaces the stored text; the other lists keep theirs.
    EditorState shown = filled;
    shown.letter[1] = Z;
    StoreEditor(shown, filled, settings);
    EXPECT_EQ(settings.HotKeyCrlf, L"Z");
    EXPECT_EQ(settings.HotKeyBack, L"あ");
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
        settings.HotKeyModify = stored;
        StoreEditor(FillEditor(settings), FillEditor(settings), settings);
        EXPECT_EQ(settings.HotKeyModify, written);
    }
}

TEST(HotKeyEditorHandEdited, CheckBoxesShowOnlyOneAsCheckedAndKeepOddValuesUntilChanged)
{
    Settings settings;
    settings.SeparateTab = 2;
    settings.AddCopy = -1;
    const EditorState filled = FillEditor(settings);
    EXPECT_EQ(filled.separateTab, 0);
    EXPECT_EQ(filled.addCopy, 0);

    Settings untouched = settings;
    StoreEditor(filled, filled, untouched);
    EXPECT_EQ(untouched.SeparateTab, 2);
    EXPECT_EQ(untouched.AddCopy, -1);

    EditorState shown = filled;
    shown.separateTab = 1;
    StoreEditor(shown, filled, settings);
    EXPECT_EQ(settings.SeparateTab, 1);
    EXPECT_EQ(settings.AddCopy, -1);

    // Checked at opening and cleared by the user: 0.
    Settings on;
    on.AddCopy = 1;
    const EditorState onFilled = FillEditor(on);
    EXPECT_EQ(onFilled.addCopy, 1);
    EditorState cleared = onFilled;
    cleared.addCopy = 0;
    StoreEditor(cleared, onFilled, on);
    EXPECT_EQ(on.AddCopy, 0);
}

TEST(HotKeyEditorDuplicate, AnotherListWithTheSameLetterClashes)
{
    Letters letters{A, E, B, G, Z};
    for (int k = 0; k < 5; ++k)
    {
        EXPECT_FALSE(IsDuplicate(letters, k)) << k;
    }
    letters[1] = A; // the newline list takes the get-name list's letter
    EXPECT_TRUE(IsDuplicate(letters, 1));
    EXPECT_TRUE(IsDuplicate(letters, 0));
    EXPECT_FALSE(IsDuplicate(letters, 2));
    EXPECT_TRUE(IsDuplicate({Z, E, B, G, Z}, 4)); // the first and the last list
    EXPECT_FALSE(IsDuplicate(letters, -1));
    EXPECT_FALSE(IsDuplicate(letters, 5));

    // Lists without a letter clash with nothing, not even with each other.
    const Letters empty{-1, -1, A, -1, B};
    EXPECT_FALSE(IsDuplicate(empty, 0));
    EXPECT_FALSE(IsDuplicate(empty, 3));

    // Hand-edited "a" and "A" both show "A" and so clash.
    Settings settings;
    settings.HotKeyGetName = L"a";
    settings.HotKeyCrlf = L"A";
    EXPECT_TRUE(IsDuplicate(FillEditor(settings).letter, 0));
}

} // namespace
} // namespace mirufon
