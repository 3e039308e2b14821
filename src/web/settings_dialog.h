// The colour settings dialog's course in the browser, where the page shows the dialog and reports how it ended:
// what is kept, put back and written for each way of leaving it. Plain C++: the unit tests drive it natively.
#pragma once

#include "editor/document/settings.h"

enum class SettingsDialogEnd { Ok, Cancel, CloseBox };

// The dialog opens: the colours the view keeps showing while it is open are taken, and the getters give them.
void BeginSettingsDialog(const Settings& settings, ColourDialogState& dialog);

// The dialog ended with the colours chosen in it. OK keeps and writes them; Cancel puts back the colours it
// opened with; the close box keeps them for this run without writing them.
void EndSettingsDialog(SettingsDialogEnd end,
                       const RgbSetting& background,
                       const RgbSetting& wireframe,
                       IniStore& ini,
                       Settings& settings,
                       ColourDialogState& dialog);
