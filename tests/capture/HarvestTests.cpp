#include "capture/Harvest.h"

#include "capture/AccessibleHarvest.h"
#include "text/UiText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace mirufon
{
namespace
{

class QuietProgress final : public ReadProgress
{
  public:
    void Answering(std::size_t) override {}
    bool Cancelled() const override { return false; }
};

struct Line
{
    std::vector<std::wstring> cells;
    std::size_t indent = 0;
};

TEST(HarvestSink, JoinsCellsAndLinesKeepingEmptyCellsAndCuttingAtTheLimits)
{
    const std::wstring notice(Text(UiText::HarvestCut));
    // A surrogate pair as UTF-16 code units, whatever the size of wchar_t.
    const std::wstring smile{static_cast<wchar_t>(0xD83D), static_cast<wchar_t>(0xDE00)};
    const struct
    {
        HarvestLimits limits;
        bool skipBlank;
        std::vector<Line> lines;
        std::wstring expected;
        std::size_t accepted; // lines accepted before AddLine said stop
        const char* why;
    } cases[] = {
        {{},
         false,
         {{{L"a", L"", L"c"}}, {{L""}}, {{L"x"}, 2}},
         L"a\t\tc\r\n\r\n\t\tx",
         3,
         "empty cells and empty lines are kept; indent tabs come first"},
        {{},
         false,
         {{{L"t\tab", L"c\r\nr\rl\n"}}},
         L"t ab\tc r l ",
         1,
         "a tab or line break inside a cell is one space, CR LF too"},
        {{},
         true,
         {{{L" \r\n", L"\t"}}, {{L"text"}}, {{L""}, 1}},
         L"text",
         3,
         "blank lines left out, still counted as accepted"},
        {{2, 100},
         false,
         {{{L"1"}}, {{L"2"}}, {{L"3"}}},
         L"1\r\n2\r\n" + notice,
         2,
         "the line over the line limit is left out, the notice follows"},
        {{2, 100}, false, {{{L"1"}}, {{L"2"}}}, L"1\r\n2", 2, "exactly at the limit: no notice"},
        {{10, 9},
         false,
         {{{L"abc"}}, {{L"de", L"fgh"}}},
         L"abc\r\nde\tf\r\n" + notice,
         1,
         "the line over the character limit keeps what fits"},
        {{10, 5},
         false,
         {{{L"abc"}}, {{L"de"}}},
         L"abc\r\n" + notice,
         1,
         "a line of which only its line break would fit is left out"},
        {{10, 2},
         false,
         {{{L"a" + smile}}},
         L"a\r\n" + notice,
         0,
         "a surrogate pair is not split at the cut"},
        {{},
         false,
         {{{std::wstring(L"ab\0cd", 5), L"e"}}},
         L"ab\te",
         1,
         "a cell ends at its first NUL, as the control draws it"},
        {{3, 100},
         true,
         {{{L"a"}}, {{L" "}}, {{L""}}, {{L"b"}}},
         L"a\r\n" + notice,
         3,
         "blank lines left out count toward the line limit"},
    };
    for (const auto& c : cases)
    {
        QuietProgress progress;
        HarvestSink sink(progress, c.limits);
        if (c.skipBlank)
        {
            sink.SkipBlankLines();
        }
        std::size_t accepted = 0;
        for (const Line& line : c.lines)
        {
            if (!sink.AddLine(line.cells, line.indent))
            {
                break;
            }
            ++accepted;
        }
        EXPECT_EQ(sink.TakeText(), c.expected) << c.why;
        EXPECT_EQ(accepted, c.accepted) << c.why;
        EXPECT_EQ(sink.ShouldStop(), accepted < c.lines.size()) << c.why;
    }
}

TEST(ReadingOrder, RowsOfControlsWhoseCentresLieWithinEachOther)
{
    const struct
    {
        std::vector<ScreenBox> boxes; // left, top, right, bottom
        std::vector<std::size_t> order;
        const char* why;
    } cases[] = {
        {{{100, 10, 300, 32}, {10, 14, 90, 28}}, {1, 0}, "a label beside a taller edit"},
        {{{10, 0, 50, 20}, {60, 10, 100, 30}}, {0, 1}, "centre on the other's bottom edge"},
        {{{10, 0, 50, 20}, {60, 11, 100, 31}}, {0, 1}, "rows top to bottom"},
        {{{60, 0, 100, 20}, {10, 11, 50, 31}}, {0, 1}, "one pixel lower: a row of its own"},
        {{{200, 0, 300, 20}, {200, 30, 300, 50}, {10, 0, 100, 300}, {120, 0, 190, 20}},
         {2, 3, 0, 1},
         "a tall list keeps a row of its own beside a column of short controls"},
        {{{10, 0, 50, 20}, {60, 15, 100, 35}, {110, 30, 150, 50}},
         {0, 1, 2},
         "rows do not chain: each control is measured against a row's first"},
        {{{10, 72, 310, 172}, {20, 92, 150, 112}, {160, 122, 300, 168}, {20, 125, 150, 147}},
         {0, 1, 3, 2},
         "a group box shares no row with the controls inside it"},
        {{{50, 10, 10, 30}, {60, 30, 100, 10}}, {0, 1}, "rectangles given upside down"},
        {{}, {}, "no controls"},
    };
    for (const auto& c : cases)
    {
        EXPECT_EQ(ReadingOrder(c.boxes), c.order) << c.why;
    }
}

struct FakeNode
{
    FakeNode(AccessibleRole nodeRole = AccessibleRole::Other, std::wstring nodeName = {},
             std::vector<FakeNode> nodeChildren = {})
        : role(nodeRole), name(std::move(nodeName)), children(std::move(nodeChildren))
    {
    }

    AccessibleRole role = AccessibleRole::Other;
    std::wstring name;
    std::vector<FakeNode> children;
    std::wstring value;
    std::wstring description;
    AccessibleState state;
    bool notAnElement = false; // its entry is neither an object nor a child identifier
    bool notGiven = false;     // the program gives nothing for it
    std::vector<std::wstring> headings;
};

// A node of a scripted tree, seen down the path from the root to it.
class FakeElement final : public AccessibleElement
{
  public:
    explicit FakeElement(std::vector<const FakeNode*> path) : m_path(std::move(path)) {}

    AccessibleRole Role() override { return m_path.back()->role; }
    std::wstring Name() override { return m_path.back()->name; }
    std::wstring Value() override { return m_path.back()->value; }
    std::wstring Description() override { return m_path.back()->description; }
    AccessibleState State() override { return m_path.back()->state; }
    std::size_t ChildCount() override { return m_path.back()->children.size(); }
    std::vector<std::wstring> ColumnHeadings() override { return m_path.back()->headings; }
    std::unique_ptr<AccessibleElement> Parent() override
    {
        std::vector<const FakeNode*> up(m_path.begin(), m_path.end() - 1);
        return up.empty() ? nullptr : std::make_unique<FakeElement>(std::move(up));
    }
    std::vector<std::unique_ptr<AccessibleElement>> Children(std::size_t start,
                                                             std::size_t count) override
    {
        std::vector<std::unique_ptr<AccessibleElement>> children;
        const auto& all = m_path.back()->children;
        for (std::size_t i = start; i < all.size() && i < start + count; ++i)
        {
            if (all[i].notGiven)
            {
                continue;
            }
            std::vector<const FakeNode*> down = m_path;
            down.push_back(&all[i]);
            children.push_back(
                all[i].notAnElement ? nullptr : std::make_unique<FakeElement>(std::move(down)));
        }
        return children;
    }

  private:
    std::vector<const FakeNode*> m_path;
};

FakeNode Item(std::wstring name, std::vector<FakeNode> children = {})
{
    return FakeNode{AccessibleRole::Other, std::move(name), std::move(children)};
}

// The path from the root down through the children at the indexes.
std::vector<const FakeNode*> Path(const FakeNode& root, std::initializer_list<std::size_t> indexes)
{
    std::vector<const FakeNode*> path{&root};
    for (const std::size_t index : indexes)
    {
        path.push_back(&path.back()->children[index]);
    }
    return path;
}

// The roles' own harvests (items, rows of cells, nested outline items, invisible and collapsed
// ones) are checked through a window's real accessible objects in the Win32 layer's tests.
// What that cannot reach is the way up: Wine hands out the list itself, never an item of it.
TEST(AccessibleHarvest, FindsTheListOrTableAFewLevelsAboveThePoint)
{
    const FakeNode table{AccessibleRole::Table,
                         L"table",
                         {Item(L"row", {Item(L"a"), Item(L"")}), Item(L"row alone")}};
    const FakeNode list{AccessibleRole::List, L"list", {Item(L"one"), Item(L"two")}};
    const FakeNode deep{
        AccessibleRole::List, L"list", {Item(L"1", {Item(L"2", {Item(L"3", {Item(L"4")})})})}};
    const FakeNode window = Item(L"window", {Item(L"client")});
    const struct
    {
        std::vector<const FakeNode*> path; // root to the element at the point
        bool found;
        std::wstring expected;
        const char* why;
    } cases[] = {
        {Path(table, {0, 0}), true, L"a\t\r\nrow alone",
         "from a cell, two up; a row without cells gives its name"},
        {Path(list, {1}), true, L"one\r\ntwo", "from an item, one up"},
        {Path(deep, {0, 0, 0, 0}), false, L"", "a list four levels up is too far"},
        {Path(window, {0}), false, L"", "no list at or above the point"},
    };
    for (const auto& c : cases)
    {
        QuietProgress progress;
        HarvestSink sink(progress);
        FakeElement hit(c.path);
        EXPECT_EQ(HarvestAccessible(hit, sink), c.found) << c.why;
        EXPECT_EQ(sink.TakeText(), c.expected) << c.why;
    }
}

FakeNode Node(std::wstring name, std::wstring value, std::wstring description = L"",
              AccessibleState state = {})
{
    FakeNode node = Item(std::move(name));
    node.value = std::move(value);
    node.description = std::move(description);
    node.state = state;
    return node;
}

// Lists and trees as Windows' own accessible objects tell them: a list view's other columns in
// each item's description, a tree view's items as one flat list that tells their levels, and
// children asked for in batches of which the program may leave entries, or a whole batch, out.
TEST(AccessibleHarvest, TakesColumnsLevelsAndEveryBatchOfChildren)
{
    FakeNode listView{AccessibleRole::List,
                      L"files",
                      {Node(L"a.txt", L"", L"サイズ: 1 KB, 種類: 文書"),
                       Node(L"b", L"", L"種類: x"), Node(L"c", L""),
                       Node(L"d", L"", L"1 KB, other")}};
    listView.headings = {L"名前", L"サイズ", L"種類"};

    FakeNode batches{AccessibleRole::List, L"list", {Item(L"first")}};
    for (int i = 1; i < 512; ++i)
    {
        FakeNode entry = Item(L"?");
        (i < 256 ? entry.notAnElement : entry.notGiven) = true;
        batches.children.push_back(entry);
    }
    batches.children.push_back(Item(L"x"));
    batches.children.push_back(Node(L"secret", L"", L"", AccessibleState{false, false, true}));

    const FakeNode flatTree{AccessibleRole::Outline,
                            L"tree",
                            {Node(L"root", L"0"), Node(L"child", L"1", L"", {false, true}),
                             Node(L"hidden", L"2"), Node(L"next", L"1"), Node(L"top", L"0"),
                             Node(L"12 unread", L"12")}};
    const struct
    {
        const FakeNode* root;
        std::wstring expected;
        const char* why;
    } cases[] = {
        {&listView, L"名前\tサイズ\t種類\r\na.txt\t1 KB\t文書\r\nb\t\tx\r\nc\t\t\r\nd\t1 KB\tother",
         "headings first; each heading's text in its column, a missing one empty"},
        {&batches, L"first\r\nx\r\n", "entries left out and a batch given empty; no password"},
        {&flatTree, L"root\r\n\tchild\r\n\tnext\r\ntop\r\n12 unread",
         "levels told, a collapsed item's deeper ones hidden, a count is no level"},
    };
    for (const auto& c : cases)
    {
        QuietProgress progress;
        HarvestSink sink(progress);
        FakeElement hit(Path(*c.root, {}));
        EXPECT_TRUE(HarvestAccessible(hit, sink)) << c.why;
        EXPECT_EQ(sink.TakeText(), c.expected) << c.why;
    }
}

} // namespace
} // namespace mirufon
