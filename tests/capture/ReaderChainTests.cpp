#include "capture/ReaderChain.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace mirufon
{
namespace
{

// A reader with a scripted answer that notes what it was asked.
class FakeReader final : public ElementReader
{
  public:
    explicit FakeReader(ReaderAnswer answer) : m_answer(std::move(answer)) {}

    std::vector<WantedTexts> asked;

    ReaderAnswer Read(const ReadTarget&, WantedTexts wanted) override
    {
        asked.push_back(wanted);
        return m_answer;
    }

  private:
    ReaderAnswer m_answer;
};

ReaderAnswer Answer(TextLevel level, std::wstring name, std::wstring value)
{
    return ReaderAnswer{false, level, std::move(name), std::move(value)};
}

ReadTarget Over(ControlKind kind)
{
    ReadTarget target;
    target.control = 0x42;
    target.kind = kind;
    return target;
}

constexpr WantedTexts kBoth{true, true};

ElementTexts Read(const ReadTarget& target, WantedTexts wanted, FakeReader& first,
                  FakeReader& second)
{
    ElementReader* readers[] = {&first, &second};
    return ReadElement(target, wanted, readers);
}

TEST(ReaderChain, PasswordsAreNeverReadByAnyReader)
{
    FakeReader msaa(Answer(TextLevel::Control, L"name", L"secret"));
    FakeReader messages(Answer(TextLevel::Control, L"", L"secret"));
    ReadTarget password = Over(ControlKind::Edit);
    password.isPassword = true;
    EXPECT_EQ(Read(password, kBoth, msaa, messages), (ElementTexts{true, L"", L""}));
    EXPECT_TRUE(msaa.asked.empty());

    // A reader that finds the element protected ends the read, with nothing from anyone.
    FakeReader protectedElement(ReaderAnswer{true, TextLevel::Control, L"name", L"secret"});
    EXPECT_EQ(Read(Over(ControlKind::Other), kBoth, protectedElement, messages),
              (ElementTexts{true, L"", L""}));
    EXPECT_TRUE(messages.asked.empty());
}

TEST(ReaderChain, TheElementsOwnTextSettlesAndLaterReadersAreAskedOnlyForWhatIsMissing)
{
    // A button: its name is its own, its value is empty, so only the value is asked further.
    FakeReader msaa(Answer(TextLevel::Control, L"保存", L""));
    FakeReader messages(Answer(TextLevel::Control, L"other", L""));
    EXPECT_EQ(Read(Over(ControlKind::Other), kBoth, msaa, messages),
              (ElementTexts{false, L"保存", L""}));
    ASSERT_EQ(messages.asked.size(), 1u);
    EXPECT_FALSE(messages.asked[0].name);
    EXPECT_TRUE(messages.asked[0].value);

    // Everything settled: the next reader is not asked at all.
    FakeReader edit(Answer(TextLevel::Control, L"label", L"値"));
    FakeReader unused(Answer(TextLevel::Control, L"x", L"y"));
    EXPECT_EQ(Read(Over(ControlKind::Edit), kBoth, edit, unused),
              (ElementTexts{false, L"label", L"値"}));
    EXPECT_TRUE(unused.asked.empty());

    // An item-level answer is the element's own even on a control that holds items.
    FakeReader item(Answer(TextLevel::Item, L"HKEY_CURRENT_USER", L""));
    FakeReader none(Answer(TextLevel::Control, L"", L""));
    EXPECT_EQ(Read(Over(ControlKind::TreeView), WantedTexts{true, false}, item, none).name,
              L"HKEY_CURRENT_USER");
    EXPECT_TRUE(none.asked.empty());
}

TEST(ReaderChain, ContainersGiveWayToTheItemOrControlUnderThePoint)
{
    // The tree view answered as a whole: the item under the point wins.
    FakeReader treeAsAWhole(Answer(TextLevel::Control, L"Tree View", L""));
    FakeReader treeItem(Answer(TextLevel::Item, L"Software", L""));
    EXPECT_EQ(Read(Over(ControlKind::TreeView), kBoth, treeAsAWhole, treeItem).name, L"Software");

    // Blank space of the tree: no item, so the tree's own text stays.
    FakeReader blank(Answer(TextLevel::Control, L"", L""));
    FakeReader again(Answer(TextLevel::Control, L"Tree View", L""));
    EXPECT_EQ(Read(Over(ControlKind::TreeView), kBoth, again, blank).name, L"Tree View");

    // A group box over a page answered for the check box inside it.
    FakeReader groupBox(Answer(TextLevel::Container, L"表示", L""));
    FakeReader checkBox(Answer(TextLevel::Control, L"最前面", L""));
    EXPECT_EQ(Read(Over(ControlKind::Other), kBoth, groupBox, checkBox).name, L"最前面");
}

TEST(ReaderChain, TextsAreCutToWhatTheReadAsksFor)
{
    FakeReader huge(Answer(TextLevel::Control, std::wstring(5000, L'n'), std::wstring(9000, L'v')));
    FakeReader none(Answer(TextLevel::Control, L"", L""));
    ReadTarget preview = Over(ControlKind::Edit);
    preview.maxChars = kPreviewChars;
    const ElementTexts texts = Read(preview, kBoth, huge, none);
    EXPECT_EQ(texts.name.size(), kPreviewChars);
    EXPECT_EQ(texts.value.size(), kPreviewChars);
    EXPECT_EQ(Read(Over(ControlKind::Edit), kBoth, huge, none).value.size(), 9000u);
}

} // namespace
} // namespace mirufon
