#include "TestReport.h"

#include <cstdlib>
#include <utility>

namespace testreport
{
namespace
{

constexpr auto npos = std::string_view::npos;

// An attribute value as GoogleTest escapes it: the five named entities, and &#xHH; for the
// white space it would otherwise lose.
std::string Unescape(std::string_view value)
{
    static constexpr std::pair<std::string_view, char> kNamed[] = {
        {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
    std::string text;
    for (std::size_t at = 0; at < value.size();)
    {
        const std::string_view rest = value.substr(at);
        bool replaced = false;
        for (const auto& [entity, character] : kNamed)
        {
            if (rest.starts_with(entity))
            {
                text += character;
                at += entity.size();
                replaced = true;
                break;
            }
        }
        if (replaced)
        {
            continue;
        }
        // GoogleTest writes line breaks and tabs in attributes as character references.
        if (const std::size_t end = rest.find(';'); rest.starts_with("&#x") && end != npos)
        {
            const unsigned long code =
                std::strtoul(std::string(rest.substr(3, end - 3)).c_str(), nullptr, 16);
            if (code > 0 && code < 0x80)
            {
                text += static_cast<char>(code);
                at += end + 1;
                continue;
            }
        }
        text += value[at++];
    }
    return text;
}

// The value of an attribute in a start tag (from '<' to '>'). GoogleTest escapes quotes inside
// values, so ` name="` cannot occur inside another attribute's value.
std::optional<std::string> Attribute(std::string_view tag, std::string_view name)
{
    const std::string key = " " + std::string(name) + "=\"";
    const std::size_t at = tag.find(key);
    if (at == npos)
    {
        return std::nullopt;
    }
    const std::size_t begin = at + key.size();
    const std::size_t end = tag.find('"', begin);
    if (end == npos)
    {
        return std::nullopt;
    }
    return Unescape(tag.substr(begin, end - begin));
}

struct Children
{
    std::size_t end = 0; // just past </testcase>
    bool failed = false;
    std::optional<std::string> skipMessage;
};

// The elements inside a <testcase> from the given position up to its </testcase>. A failure's
// text is a CDATA section that may hold anything, markup included: it is passed over whole.
std::optional<Children> ReadChildren(std::string_view xml, std::size_t from)
{
    Children children;
    for (std::size_t at = from;;)
    {
        const std::size_t open = xml.find('<', at);
        if (open == npos)
        {
            return std::nullopt;
        }
        const std::string_view rest = xml.substr(open);
        if (rest.starts_with("<![CDATA["))
        {
            const std::size_t close = xml.find("]]>", open);
            if (close == npos)
            {
                return std::nullopt;
            }
            at = close + 3;
            continue;
        }
        if (rest.starts_with("</testcase>"))
        {
            children.end = open + std::string_view("</testcase>").size();
            return children;
        }
        const std::size_t close = xml.find('>', open);
        if (close == npos)
        {
            return std::nullopt;
        }
        const std::string_view tag = xml.substr(open, close - open + 1);
        if (tag.starts_with("<failure"))
        {
            children.failed = true;
        }
        else if (tag.starts_with("<skipped") && !children.skipMessage)
        {
            children.skipMessage = Attribute(tag, "message").value_or("");
        }
        at = close + 1;
    }
}

// A skip's message is "file:line", a line break, then what the test said.
std::string WithoutLocation(const std::string& message)
{
    const std::size_t lineBreak = message.find('\n');
    return lineBreak == std::string::npos ? message : message.substr(lineBreak + 1);
}

} // namespace

std::optional<std::vector<TestCase>> ReadReport(std::string_view xml)
{
    // A report is written whole at the end of a run: without its closing tag it was cut short.
    if (xml.find("<testsuites") == npos || xml.find("</testsuites>") == npos)
    {
        return std::nullopt;
    }
    std::vector<TestCase> cases;
    for (std::size_t at = xml.find("<testcase "); at != npos; at = xml.find("<testcase ", at))
    {
        const std::size_t close = xml.find('>', at);
        if (close == npos)
        {
            return std::nullopt;
        }
        const std::string_view tag = xml.substr(at, close - at + 1);
        TestCase test;
        test.name =
            Attribute(tag, "classname").value_or("?") + "." + Attribute(tag, "name").value_or("?");
        Children children;
        if (tag.ends_with("/>"))
        {
            children.end = close + 1;
        }
        else if (const std::optional<Children> read = ReadChildren(xml, close + 1))
        {
            children = *read;
        }
        else
        {
            return std::nullopt;
        }
        if (children.failed)
        {
            test.outcome = Outcome::Failed;
        }
        else if (Attribute(tag, "status") == "notrun")
        {
            test.outcome = Outcome::NotRun;
        }
        else if (Attribute(tag, "result") == "skipped")
        {
            test.outcome = Outcome::Skipped;
            test.skipReason = WithoutLocation(children.skipMessage.value_or(""));
        }
        cases.push_back(std::move(test));
        at = children.end;
    }
    return cases;
}

void RunSummary::AddProgram(std::string_view program, int exitCode,
                            const std::optional<std::string>& report)
{
    const std::string ended = "exit code " + std::to_string(exitCode);
    const std::optional<std::vector<TestCase>> cases =
        report ? ReadReport(*report) : std::optional<std::vector<TestCase>>{};
    if (!cases)
    {
        ++m_failed;
        m_failures.push_back("FAILED   " + std::string(program) +
                             (report ? ": its report cannot be read (" : ": no report (") + ended +
                             ")");
        return;
    }
    int failedHere = 0;
    for (const TestCase& test : *cases)
    {
        switch (test.outcome)
        {
        case Outcome::Passed:
            ++m_passed;
            break;
        case Outcome::Failed:
            ++failedHere;
            m_failures.push_back("FAILED   " + test.name);
            break;
        case Outcome::Skipped:
            ++m_skipped;
            m_skips.push_back("skipped  " + test.name + ": " + test.skipReason);
            break;
        case Outcome::NotRun:
            break;
        }
    }
    m_failed += failedHere;
    // Its report shows no failure, yet it did not end well (a crash on the way out, a leak
    // check): that is a failure of its own.
    if (exitCode != 0 && failedHere == 0)
    {
        ++m_failed;
        m_failures.push_back("FAILED   " + std::string(program) + ": " + ended +
                             " with no failed test in its report");
    }
}

std::vector<std::string> RunSummary::Lines() const
{
    std::vector<std::string> lines = m_skips;
    lines.insert(lines.end(), m_failures.begin(), m_failures.end());
    lines.push_back(std::to_string(m_skipped) + (m_skipped == 1 ? " test" : " tests") + " skipped");
    lines.push_back("tests: " + std::to_string(m_passed) + " passed, " + std::to_string(m_failed) +
                    " failed");
    return lines;
}

} // namespace testreport
