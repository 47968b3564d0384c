// The controller's part in finding text in the log: the last search and the hotkeys while the
// Find dialog is in use.

#include "shell/AppController.h"

namespace mirufon
{

void AppController::RememberSearch(std::wstring what, bool matchCase)
{
    m_settings.searchString = std::move(what);
    // A loose value other than 1 (a hand-edited file) stays while the search stays loose.
    if (matchCase)
    {
        m_settings.searchFuzzy = 0;
    }
    else if (m_settings.searchFuzzy == 0)
    {
        m_settings.searchFuzzy = 1;
    }
}

std::optional<TextSpan> AppController::FindInLog(TextSpan selection,
                                                 SearchDirection direction) const
{
    return FindNext(
        m_logBox.Text(), selection,
        TextQuery{m_settings.searchString, MatchingFor(m_settings.searchFuzzy), direction});
}

// The keys come back when the dialog is left, unless something else holds them off then.
void AppController::OnFindDialogActive(bool active)
{
    if (active)
    {
        m_hotKeys.Unregister();
        return;
    }
    if (m_started && !m_shutDown && !m_saving && !m_dialogs.IsSettingsDialogOpen() &&
        !m_hotKeys.IsRegistered())
    {
        m_hotKeys.Register(m_settings, m_running);
    }
}

} // namespace mirufon
