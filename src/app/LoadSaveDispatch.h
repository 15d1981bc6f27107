#pragma once

#include "app/AppState.h"
#include "app/LoadedImage.h"
#include "core/Status.h"
#include "framework/FileDialog.h"

#include <memory>
#include <optional>
#include <string>

namespace celdo {

class Ui;

// The format object for a path, by its FileExtension: ICO and CUR icons, MAG, CEL (whose source
// palette is `sourcePalette` when given), and BMP for everything else.
std::unique_ptr<GraphicFile> CreateFormatFor(const std::string& path,
                                             const ColourValue* sourcePalette = nullptr);

// The file type lists of the file dialogs.
const std::vector<FileType>& ImageOpenTypes();
const std::vector<FileType>& ImageSaveTypes();
const std::vector<FileType>& PaletteOpenTypes();
// KiSS configuration files.
const std::vector<FileType>& SetOpenTypes();
const std::vector<FileType>& PaletteSaveTypes();

// Whether a loaded picture brings colours of its own: every format but the
// KiSS cell, whose colours live in its palette file.  Pictures without a file
// (new, clipboard, filter results) count as bringing theirs.
bool CarriesOwnPalette(const LoadedImage& loaded);

// Which palette a picture about to open shows.  The first picture that
// brings its own colours gives them to the current colour group; a cell, or
// any picture while another is open, takes the current group instead.
void ReconcileLoadedPalette(LoadedImage& loaded, ColourValue* currentGroup,
                            bool anotherPictureOpen);

// Turns file names into format objects and drives them: the open sequence
// (header, page choice, information dialog, pixels, mask), preparing a
// loaded picture for editing, the save sequences, the file dialogs and the
// palette commands.  Errors are shown through the Ui with the message table;
// cancellations show nothing.
class LoadSaveDispatch {
public:
    LoadSaveDispatch(AppState& app, Ui& ui) : m_app(app), m_ui(ui) {}

    // Opens an image file: the picture prepared for editing, its mask and its
    // document.  Nothing when the load failed (message shown), was
    // cancelled, or the full-colour question was answered No.  A file whose
    // header cannot be read is dealt with in the history by the
    // DeleteErrorMenuFile rule.
    std::optional<LoadedImage> OpenImage(const std::string& path, bool showInfo);

    // 24 bits: the full-colour question, then the reduction onto the current
    // colour group; 1 and 4 bits: widened with the current group; 8 bits as
    // they are.  False when nothing is to be opened (picture and mask dropped).
    bool PrepareLoadedImage(LoadedImage& loaded);

    // Save under a new name.  `document` is the window's present document (may
    // be null); on success it is replaced by the new one and the path goes to
    // the history.  When the chosen kind cannot hold some indices the user is
    // asked first (ConfirmColourChange).  Returns the error code (shown
    // already), 0 also when the options dialog was cancelled or the question
    // answered No; `saved` tells whether a file was written.
    Status SaveImageAs(const std::string& path, const CellImage& image, const CellImage* mask,
                       std::unique_ptr<GraphicFile>& document, bool askOptions,
                       bool* saved = nullptr);
    // Overwrite save through the window's document: its kind, offsets and
    // options are kept; no options dialog, but the same question when the
    // kind cannot hold some indices (No: 0, nothing written).  Error shown;
    // `saved` tells whether a file was written.
    Status SaveImage(GraphicFile& document, const CellImage& image, const CellImage* mask,
                     bool* saved = nullptr);
    // The mask plane beside the saved picture (after a successful save),
    // unless the document stored it itself (a true-colour cell's alpha).
    void SaveMaskFor(const GraphicFile& document, PaintSurface& surface);

    // The open and save file dialogs for images (own dialog or the system's,
    // by UseCommonDialog); GraphicFileType and ViewHeader/SaveOption follow
    // the user's choice.
    FileDialog::Result ChooseImageToOpen();
    // The open dialog for a KiSS set's configuration file.
    FileDialog::Result ChooseSetToOpen();
    FileDialog::Result ChooseImageToSave(const std::string& proposedName);

    // The palette file commands and the palette history.  Returns true when
    // the palette set changed (the caller then sends Command::PaletteChanged).
    bool PaletteCommand(Command command);
    // Loads a palette file into the palette set (palette history, command
    // line, drops).
    bool LoadPalette(const std::string& path, bool showInfo);

private:
    bool dealWithFailedEntry(FileHistory& history, const std::string& path);
    // The program's own file dialog or the system's, by UseCommonDialog.
    FileDialog::Result runFileDialog(FileDialog::Mode mode, const std::string& title,
                                     const std::vector<FileType>& types, int typeIndex,
                                     const std::string& proposedName = {});
    // Save as: a new palette file chosen in the save dialog.
    void SavePaletteAs();

    AppState& m_app;
    Ui& m_ui;
};

} // namespace celdo
