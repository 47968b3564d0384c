#pragma once

#include "platform/TextBox.h"

#include <functional>
#include <utility>

namespace mirufon
{

// A text box that tells after every change made through it: the log's journal hears of the
// program's own edits this way, whichever notifications the control sends for them.
class ObservedTextBox final : public TextBox
{
  public:
    ObservedTextBox(TextBox& box, std::function<void()> onChange)
        : m_box(box), m_onChange(std::move(onChange))
    {
    }

    std::size_t Length() const override { return m_box.Length(); }
    std::wstring Slice(std::size_t from, std::size_t count) const override
    {
        return m_box.Slice(from, count);
    }
    std::wstring Text() const override { return m_box.Text(); }
    void SetText(std::wstring_view text) override
    {
        m_box.SetText(text);
        m_onChange();
    }
    void Append(std::wstring_view text) override
    {
        m_box.Append(text);
        m_onChange();
    }
    void Truncate(std::size_t length) override
    {
        m_box.Truncate(length);
        m_onChange();
    }
    void SetTextColor(Rgb colour) override { m_box.SetTextColor(colour); }
    void SelectAll() override { m_box.SelectAll(); }
    void Focus() override { m_box.Focus(); }

  private:
    TextBox& m_box;
    std::function<void()> m_onChange;
};

} // namespace mirufon
