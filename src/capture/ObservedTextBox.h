#pragma once

#include "platform/ScopedFlag.h"
#include "platform/TextBox.h"

#include <functional>
#include <utility>

namespace mirufon
{

// A text box that tells after every change made through it: the log's journal hears of the
// program's own edits this way, whichever notifications the control sends for them. While a
// change is being made, IsChanging says so, so that the control's own notification of that
// change (sent from inside it) can be told from the user's typing and not counted twice.
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
        Change([&] { m_box.SetText(text); });
    }
    void Append(std::wstring_view text) override
    {
        Change([&] { m_box.Append(text); });
    }
    void Truncate(std::size_t length) override
    {
        Change([&] { m_box.Truncate(length); });
    }
    void SetTextColor(Rgb colour) override { m_box.SetTextColor(colour); }
    void SelectAll() override { m_box.SelectAll(); }
    void Focus() override { m_box.Focus(); }

    bool IsChanging() const { return m_changing; }

  private:
    void Change(const std::function<void()>& change)
    {
        {
            const ScopedFlag changing(m_changing);
            change();
        }
        m_onChange();
    }

    TextBox& m_box;
    std::function<void()> m_onChange;
    bool m_changing = false;
};

} // namespace mirufon
