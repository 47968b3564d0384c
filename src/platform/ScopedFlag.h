#pragma once

namespace mirufon
{

// Sets a flag for the lifetime of the scope and clears it however the scope is left, an
// exception included: a guard against re-entry that can never stay stuck.
class ScopedFlag
{
  public:
    explicit ScopedFlag(bool& flag) : m_flag(flag) { m_flag = true; }
    ScopedFlag(const ScopedFlag&) = delete;
    ScopedFlag& operator=(const ScopedFlag&) = delete;
    ~ScopedFlag() { m_flag = false; }

  private:
    bool& m_flag;
};

} // namespace mirufon
