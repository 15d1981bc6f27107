#include "ui/AutoSaver.h"

#include "app/AppState.h"
#include "canvas/Canvas.h"
#include "canvas/MaskEdit.h"
#include "framework/Ui.h"
#include "ui/ImageWindow.h"
#include "ui/MainWindow.h"

#include <algorithm>
#include <cstdlib>

namespace celdo {

AutoSaver::AutoSaver(MainWindow& window) : m_window(window) {
    int interval = DefaultIntervalMs;
    if (const char* text = std::getenv("CELDO_AUTOSAVE_MS"); text && std::atoi(text) > 0)
        interval = std::atoi(text);
    m_timer.setInterval(interval);
    connect(&m_timer, &QTimer::timeout, this, &AutoSaver::SaveNow);
}

AutoSaver::~AutoSaver() = default;

void AutoSaver::Start() {
    m_recovery = std::make_unique<Recovery>(Recovery::DefaultFolder());
    m_timer.start();
}

int AutoSaver::slotOf(ImageWindow* window) {
    const auto found = m_slots.find(window);
    if (found != m_slots.end())
        return found->second;
    const int slot = m_nextSlot++;
    m_slots[window] = slot;
    // A save clears the modified mark; a close destroys the window.  Either
    // way its recovery files are no longer wanted.
    connect(window, &ImageWindow::modifiedChanged, this, [this, window](bool modified) {
        if (!modified && m_recovery)
            if (const auto at = m_slots.find(window); at != m_slots.end())
                m_recovery->Remove(at->second);
    });
    connect(window, &QObject::destroyed, this, [this, window] { forget(window); });
    return slot;
}

void AutoSaver::forget(ImageWindow* window) {
    const auto found = m_slots.find(window);
    if (found == m_slots.end())
        return;
    if (m_recovery)
        m_recovery->Remove(found->second);
    m_slots.erase(found);
}

void AutoSaver::save(ImageWindow* window) {
    if (!m_recovery || !window->hasPicture())
        return;
    PaintSurface& surface = window->canvas().surface();
    const int slot = slotOf(window);
    if (!surface.modified) {
        m_recovery->Remove(slot);
        return;
    }
    // In mask edit mode the mask being painted is the view's.
    if (surface.maskMode)
        CommitMaskView(surface);
    AppState& app = m_window.app();
    m_recovery->AutoSave(slot, window->originalPath(), app.palette.currentGroup(),
                         app.palette.current(), *surface.picture, surface.mask.get());
}

void AutoSaver::SaveNow() {
    if (!m_recovery)
        return;
    if (m_window.app().autoSave == 0) {
        m_recovery->RemoveAll();
        return;
    }
    for (ImageWindow* window : m_window.imageWindows())
        save(window);
}

void AutoSaver::OfferRestore() {
    if (!m_recovery)
        return;
    // The single-document window holds one picture: it takes one crashed
    // editor's picture, and only while it has none of its own.
    const bool single = m_window.variant() == FrameVariant::SingleDocument;
    if (single && !m_window.imageWindows().empty())
        return;
    if (m_recovery->FindOrphans().empty())
        return;
    const int reply = m_window.ui().messageBox(RestoreQuestion, "Celdos", MessageIcon::Question,
                                               MessageButtons::YesNo);
    if (reply != answer::Yes) {
        m_recovery->DiscardOrphans();
        return;
    }
    auto pictures = m_recovery->TakeOrphans(single ? 1 : SIZE_MAX);
    AppState& app = m_window.app();
    for (RecoveredPicture& recovered : pictures) {
        app.palette.setCurrentGroup(recovered.group);
        std::copy(recovered.colours.begin(), recovered.colours.end(), app.palette.current());
        LoadedImage loaded;
        loaded.picture = std::move(recovered.picture);
        loaded.mask = std::move(recovered.mask);
        ImageWindow* window = m_window.documents().show(std::move(loaded));
        if (!window)
            continue;
        // The group exactly as it was, whatever the bitmap's table kept.
        std::copy(recovered.colours.begin(), recovered.colours.end(), app.palette.current());
        window->SetUntitledName(recovered.originalPath);
        window->canvas().surface().modified = true;
        // Unsaved from the start: no undo leads back to a saved state.
        window->RestartHistory();
        window->syncModified();
        // Written again as this run's before the crashed run's files go.
        save(window);
    }
    m_recovery->DiscardTaken();
    m_window.postCommand(Command::PaletteChanged);
}

void AutoSaver::Finish() {
    m_timer.stop();
    if (m_recovery)
        m_recovery->RemoveAll();
}

} // namespace celdo
