#pragma once

#include "framework/ControlTable.h"

namespace celdo {

// Control ids of the "環境" page of the options dialog.
namespace envoption {
inline constexpr int AutoSave = 280;
inline constexpr int UndoMemory = 360;
inline constexpr int UndoMemoryLabel = 361;
} // namespace envoption

// What the "環境" page sets: whether unsaved pictures are written for
// recovery every minute, and how many MiB the undo steps of all windows may
// hold together.
struct EnvironmentOptions {
    static constexpr int MinUndoMemory = 16;
    static constexpr int MaxUndoMemory = 4096;
    int autoSave = 1;
    int undoMemory = 256;
};

// The "環境" page (dialog "EnvOption").
ControlTable EnvironmentOptionPage(const EnvironmentOptions& options);
// The values the confirmed page holds.
EnvironmentOptions ReadEnvironmentOptionPage(const ControlTable& page);

} // namespace celdo
