#pragma once

#include "platform/TextBox.h"

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace mirufon
{

// How often each TextBox operation was called, and how many characters Slice handed out, so
// that a test can check an operation never reads or rewrites the whole text.
struct TextBoxCalls
{
    int length = 0;
    int slice = 0;
    int text = 0;
    int setText = 0;
    int append = 0;
    int truncate = 0;
    int setTextColor = 0;
    int selectAll = 0;
    int focus = 0;
    std::size_t slicedChars = 0;
};

// An in-memory text box. The test side (Content, Load, Colour, Calls) is not counted.
class FakeTextBox final : public TextBox
{
  public:
    FakeTextBox() = default;
    explicit FakeTextBox(std::wstring text) : m_text(std::move(text)) {}

    const std::wstring& Content() const { return m_text; }
    void Load(std::wstring text) { m_text = std::move(text); }
    // Empty until SetTextColor is called.
    std::optional<Rgb> Colour() const { return m_colour; }
    bool AllSelected() const { return m_allSelected; }
    const TextBoxCalls& Calls() const { return m_calls; }
    void ResetCalls() { m_calls = TextBoxCalls{}; }

    std::size_t Length() const override
    {
        ++m_calls.length;
        return m_text.size();
    }

    std::wstring Slice(std::size_t from, std::size_t count) const override
    {
        ++m_calls.slice;
        if (from >= m_text.size())
        {
            return L"";
        }
        std::wstring part = m_text.substr(from, count);
        m_calls.slicedChars += part.size();
        return part;
    }

    std::wstring Text() const override
    {
        ++m_calls.text;
        return m_text;
    }

    void SetText(std::wstring_view text) override
    {
        ++m_calls.setText;
        m_text = text;
        m_allSelected = false;
    }

    void Append(std::wstring_view text) override
    {
        ++m_calls.append;
        m_text += text;
        m_allSelected = false;
    }

    void Truncate(std::size_t length) override
    {
        ++m_calls.truncate;
        m_text.resize(std::min(length, m_text.size()));
        m_allSelected = false;
    }

    void SetTextColor(Rgb colour) override
    {
        ++m_calls.setTextColor;
        m_colour = colour;
    }

    void SelectAll() override
    {
        ++m_calls.selectAll;
        m_allSelected = true;
    }

    void Focus() override { ++m_calls.focus; }

  private:
    std::wstring m_text;
    std::optional<Rgb> m_colour;
    bool m_allSelected = false;
    mutable TextBoxCalls m_calls;
};

} // namespace mirufon
