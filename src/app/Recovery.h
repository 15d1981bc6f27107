#pragma once

#include "core/CellImage.h"
#include "core/Colour.h"
#include "core/Status.h"
#include "palette/PaletteSet.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace celdo {

// A picture as it was last written for recovery: what the picture window
// showed, so it can be reopened exactly after a crash.
struct RecoveredPicture {
    // The file the picture came from or was last saved to; empty when it
    // never had one.
    std::string originalPath;
    int group = 0;
    std::array<ColourValue, PaletteSet::GroupSize> colours{};
    CellImagePtr picture;
    CellImagePtr mask;
};

// Unsaved work kept safe against a crash or a kill.  Each running editor is
// one instance: it holds an exclusive lock on its own lock file for its whole
// life, so another editor can tell a live owner's files from those a dead one
// left behind even when a process number is reused.  Every picture is a slot
// of three files written through the safe save: the picture and its mask as
// 8-bit bitmaps, and a small text record naming them, written last, so a
// record always names complete files.
//
// Files of a slot: "<instance>-<slot>.rec", "<instance>-<slot>-<n>.bmp" and
// "<instance>-<slot>-<n>.msk"; the lock is "<instance>.lock".
class Recovery {
public:
    // $XDG_STATE_HOME/celdo/recovery, or ~/.local/state/celdo/recovery when
    // XDG_STATE_HOME is unset or not absolute.
    static std::filesystem::path DefaultFolder();

    // Creates the folder and takes this instance's lock.  Without the lock
    // (folder not writable) nothing is ever written: valid() is false.
    explicit Recovery(std::filesystem::path folder);
    // Releases the lock and leaves the files: only an orderly exit calls
    // RemoveAll first, so what a failing run leaves stays recoverable.
    ~Recovery();
    Recovery(const Recovery&) = delete;
    Recovery& operator=(const Recovery&) = delete;

    bool valid() const { return m_lock >= 0; }
    const std::filesystem::path& folder() const { return m_folder; }
    const std::string& instance() const { return m_instance; }

    // Writes slot `slot` unless the same picture, mask, colours, group and
    // name were its last write.  Returns true when files were written.
    bool AutoSave(int slot, const std::string& originalPath, int group, const ColourValue* colours,
                  const CellImage& picture, const CellImage* mask);
    // The slot's files go (after a save or a close); the next AutoSave
    // writes again.
    void Remove(int slot);
    // Every file of this instance except the lock (orderly exit).
    void RemoveAll();

    // Instances other than this one whose owner is no longer running and
    // that left at least one record.  An orphan whose lock another starting
    // editor already holds is not listed.
    std::vector<std::string> FindOrphans() const;
    // Takes the locks of up to `maxInstances` orphans, so no other editor
    // reads them meanwhile, and reads their pictures, instance by instance
    // in name order and slot by slot.  Unreadable slots are passed over.
    std::vector<RecoveredPicture> TakeOrphans(std::size_t maxInstances = SIZE_MAX);
    // Deletes the files of the orphans taken and releases their locks.
    void DiscardTaken();
    // Takes every orphan found and deletes its files unread.
    void DiscardOrphans();

    // Whether the process numbered `pid` exists (tests use it).
    static bool processRunning(int pid);

private:
    struct Written {
        std::uint64_t fingerprint = 0;
        int generation = 0;
    };
    std::filesystem::path slotFile(int slot, const char* suffix, int generation) const;
    void removeFilesOf(const std::string& prefix) const;
    // Whether the instance that wrote `record`'s files is still running.
    bool ownerRunning(const std::string& instance, int pid) const;
    // Holds the orphan's lock from now on; false when another editor has it.
    bool take(const std::string& instance);

    std::filesystem::path m_folder;
    std::string m_instance;
    int m_lock = -1;
    std::map<int, Written> m_written;
    // Orphans taken: instance name and the lock held on its behalf.
    std::vector<std::pair<std::string, int>> m_taken;
};

} // namespace celdo
