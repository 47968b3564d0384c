#pragma once

// A TextBox over a plain string: the capture log's own cost, without any control behind it.

#include "platform/TextBox.h"

#include <string>
#include <string_view>

namespace mirufon::bench
{

class MemoryTextBox final : public TextBox
{
  public:
    explicit MemoryTextBox(std::wstring_view text) : m_text(text) {}

    std::size_t Length() const override { return m_text.size(); }
    std::wstring Slice(std::size_t from, std::size_t count) const override
    {
        return from >= m_text.size() ? std::wstring() : m_text.substr(from, count);
    }
    std::wstring Text() const override { return m_text; }
    void SetText(std::wstring_view text) override { m_text = text; }
    void Append(std::wstring_view text) override { m_text += text; }
    void Truncate(std::size_t length) override
    {
        if (length < m_text.size())
        {
            m_text.resize(length);
        }
    }
    void SetTextColor(Rgb) override {}
    void SelectAll() override {}
    void Focus() override {}

  private:
    std::wstring m_text;
};

} // namespace mirufon::bench
