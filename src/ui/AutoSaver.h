#pragma once

#include "app/Recovery.h"

#include <QObject>
#include <QTimer>
#include <map>
#include <memory>

namespace celdo {

class ImageWindow;
class MainWindow;

// Keeps the main window's unsaved pictures recoverable: every minute each
// modified picture that changed since its last write goes to the recovery
// folder; a save or a close takes its files away, an orderly exit takes
// them all.  At start-up it offers what a crashed editor left.
class AutoSaver : public QObject {
    Q_OBJECT
public:
    // The question asked at start-up when a crashed editor left pictures.
    static constexpr const char* RestoreQuestion = "前回の編集内容が残っています。復元しますか？";
    // The interval in milliseconds may be set by CELDO_AUTOSAVE_MS (tests).
    static constexpr int DefaultIntervalMs = 60 * 1000;

    explicit AutoSaver(MainWindow& window);
    ~AutoSaver() override;

    // Opens the recovery folder and starts the timer.
    void Start();
    // Writes every modified picture that changed since its last write (what
    // the timer does); with autosave switched off, removes what was written.
    void SaveNow();
    // Start-up, after the command-line files: the question, then the
    // pictures restored as modified untitled windows, or deleted.
    void OfferRestore();
    // Orderly exit: nothing of this run is left to restore.
    void Finish();

    int intervalMs() const { return m_timer.interval(); }
    Recovery* recovery() const { return m_recovery.get(); }

private:
    void save(ImageWindow* window);
    void forget(ImageWindow* window);
    // The window's slot, given and watched on first use.
    int slotOf(ImageWindow* window);

    MainWindow& m_window;
    std::unique_ptr<Recovery> m_recovery;
    QTimer m_timer;
    std::map<const ImageWindow*, int> m_slots;
    int m_nextSlot = 1;
};

} // namespace celdo
