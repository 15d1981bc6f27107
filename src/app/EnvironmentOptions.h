#pragma once

#include "framework/ControlTable.h"

namespace celdo {

// Control ids of the "環境" page of the options dialog.
namespace envoption {
inline constexpr int AutoSave = 280;
} // namespace envoption

// The "環境" page (dialog "EnvOption"): whether unsaved pictures are written
// for recovery every minute.
ControlTable EnvironmentOptionPage(int autoSave);
// The AutoSave value (0 or 1) the confirmed page holds.
int ReadEnvironmentOptionPage(const ControlTable& page);

} // namespace celdo
