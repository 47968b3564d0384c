#pragma once

#include "platform/WindowProcedureSlot.h"

#include <vector>

namespace mirufon
{

// The main window's procedure slot: holds the current procedure and logs every replacement.
// With Fail set, replacements are refused (0 returned, slot unchanged), like a failing
// SetWindowLongPtr.
class FakeWindowProcedureSlot final : public WindowProcedureSlot
{
  public:
    struct Replacement
    {
        ProcedureId installed = 0;
        ProcedureId replaced = 0;
    };

    explicit FakeWindowProcedureSlot(ProcedureId original) : m_current(original) {}

    ProcedureId Current() const { return m_current; }
    const std::vector<Replacement>& Log() const { return m_log; }
    void Fail(bool fail) { m_fail = fail; }

    ProcedureId Replace(ProcedureId procedure) override
    {
        if (m_fail)
        {
            return 0;
        }
        const ProcedureId replaced = m_current;
        m_current = procedure;
        m_log.push_back(Replacement{procedure, replaced});
        return replaced;
    }

  private:
    ProcedureId m_current;
    std::vector<Replacement> m_log;
    bool m_fail = false;
};

} // namespace mirufon
