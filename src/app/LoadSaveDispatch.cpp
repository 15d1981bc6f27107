#include "app/LoadSaveDispatch.h"

#include "app/CommandLine.h"
#include "app/SaveColourCheck.h"

#include "canvas/MaskFile.h"
#include "canvas/MaskFileIo.h"
#include "formats/BmpFile.h"
#include "formats/IconFile.h"
#include "formats/KissCellFile.h"
#include "formats/KissPaletteFile.h"
#include "formats/MagFile.h"
#include "formats/PngFile.h"
#include "framework/ControlTable.h"
#include "framework/Ui.h"
#include "palette/ReduceToGroup.h"

#include <algorithm>

namespace celdo {

namespace {

std::string directoryOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string nameOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The page dialog of files holding several pictures.
ControlTable pageSelectTable(const GraphicFile& file) {
    ControlTable t;
    t.name = "PageSelect";
    t.title = "読込ページの選択";
    t.add(staticText(200, file.name()));
    t.add(staticText(-1, "ページ", 1));
    t.add(scrollBar(360, 1, file.pageCount(), 20, file.page() + 1, 361, 1));
    t.add(staticText(361, "", 1));
    t.add(button(1, "OK"));
    t.add(button(2, "Cancel"));
    return t;
}

} // namespace

std::unique_ptr<GraphicFile> CreateFormatFor(const std::string& path,
                                             const ColourValue* sourcePalette) {
    const std::string ext = FileExtension(path);
    if (ext == "ICO")
        return std::make_unique<IconFile>(path, IconFile::IconVariant);
    if (ext == "CUR")
        return std::make_unique<IconFile>(path, IconFile::CursorVariant);
    if (ext == "MAG")
        return std::make_unique<MagFile>(path);
    if (ext == "PNG") {
        auto png = std::make_unique<PngFile>(path);
        png->setSourcePalette(sourcePalette);
        return png;
    }
    if (ext == "CEL") {
        auto cell = std::make_unique<KissCellFile>(path);
        if (sourcePalette)
            cell->setSourcePalette(sourcePalette);
        return cell;
    }
    return std::make_unique<BmpFile>(path);
}

const std::vector<FileType>& ImageOpenTypes() {
    static const std::vector<FileType> types = {{"BMP", "*.BMP"},
                                                {"Icon", "*.ICO"},
                                                {"Cursor", "*.CUR"},
                                                {"MAG", "*.MAG"},
                                                {"Cell", "*.CEL"},
                                                {"全て", "*.*"},
                                                // New types go last: GraphicFileType
                                                // stores an index into this list.
                                                {"PNG", "*.PNG"}};
    return types;
}

const std::vector<FileType>& ImageSaveTypes() {
    static const std::vector<FileType> types = {{"BMP", "*.BMP"},    {"ICON", "*.ICO"},
                                                {"Cursor", "*.CUR"}, {"MAG", "*.MAG"},
                                                {"Cell", "*.CEL"},   {"PNG", "*.PNG"}};
    return types;
}

const std::vector<FileType>& PaletteOpenTypes() {
    static const std::vector<FileType> types = {{"Palette", "*.KCF"}, {"全て", "*.*"}};
    return types;
}

const std::vector<FileType>& SetOpenTypes() {
    static const std::vector<FileType> types = {{"CNF", "*.CNF"}, {"全て", "*.*"}};
    return types;
}

const std::vector<FileType>& PaletteSaveTypes() {
    static const std::vector<FileType> types = {{"Palette", "*.KCF"}};
    return types;
}

bool LoadSaveDispatch::dealWithFailedEntry(FileHistory& history, const std::string& path) {
    return RemoveFailedEntry(m_app.fileOptions.deleteErrorMenuFile, history, path, nameOf(path),
                             m_ui);
}

std::optional<LoadedImage> LoadSaveDispatch::OpenImage(const std::string& path, bool showInfo) {
    auto file = CreateFormatFor(path, m_app.palette.current());
    Status code = file->readHeader();
    if (code != status::Ok) {
        if (!dealWithFailedEntry(m_app.imageHistory, path))
            ShowErrorMessage(m_ui, code);
        return std::nullopt;
    }
    code = file->selectPage();
    if (code != status::Ok) {
        ShowErrorMessage(m_ui, code);
        return std::nullopt;
    }
    if (showInfo) {
        if (file->pageCount() > 1) {
            ControlTable pages = pageSelectTable(*file);
            if (m_ui.runDialog(pages) != 1)
                return std::nullopt;
            file->setPage(pages.value(360) - 1);
            code = file->selectPage();
            if (code != status::Ok) {
                ShowErrorMessage(m_ui, code);
                return std::nullopt;
            }
        }
        if (file->showInfo(m_ui) == 2)
            return std::nullopt;
    }
    CellImagePtr picture;
    {
        WaitCursor wait(m_ui);
        picture = file->readImage();
    }
    if (!picture) {
        ShowErrorMessage(m_ui, file->error() ? file->error() : status::FormatError);
        return std::nullopt;
    }
    m_app.imageHistory.add(path);
    m_app.lastDirectory = directoryOf(path);

    LoadedImage loaded;
    loaded.picture = std::move(picture);
    loaded.mask = LoadMask(file->takeMask(), path, MagMaskReader());
    loaded.document = std::move(file);
    if (!PrepareLoadedImage(loaded))
        return std::nullopt;
    return loaded;
}

bool LoadSaveDispatch::PrepareLoadedImage(LoadedImage& loaded) {
    if (!loaded.picture)
        return false;
    const int bits = loaded.picture->bitsPerPixel();
    CellImagePtr prepared;
    if (bits == 24) {
        if (m_ui.messageBox("画像はフルカラーです。ロードしますか？", "Celdos",
                            MessageIcon::Question, MessageButtons::YesNo) != answer::Yes) {
            loaded.picture.reset();
            loaded.mask.reset();
            return false;
        }
        WaitCursor wait(m_ui);
        prepared =
            ReduceToGroup(*loaded.picture, m_app.palette.current(), m_app.conversion.matchOptions(),
                          [this](long long done, long long total) { m_ui.progress(done, total); });
    } else if (bits == 1 || bits == 4) {
        prepared = loaded.picture->ConvertTo8(m_app.palette.current());
    } else {
        return true;
    }
    if (!prepared) {
        ShowErrorMessage(m_ui, status::OutOfMemory);
        loaded.picture.reset();
        loaded.mask.reset();
        return false;
    }
    loaded.picture = std::move(prepared);
    return true;
}

bool CarriesOwnPalette(const LoadedImage& loaded) {
    // A KiSS cell's colours live in the palette file that goes with it.
    return !(loaded.document && dynamic_cast<const KissCellFile*>(loaded.document.get()));
}

void ReconcileLoadedPalette(LoadedImage& loaded, ColourValue* currentGroup,
                            bool anotherPictureOpen) {
    if (!loaded.picture)
        return;
    if (!CarriesOwnPalette(loaded) || anotherPictureOpen)
        loaded.picture->SetPalette(currentGroup, PaletteSet::GroupSize);
    else
        std::copy_n(loaded.picture->palette(), PaletteSet::GroupSize, currentGroup);
}

Status LoadSaveDispatch::SaveImageAs(const std::string& path, const CellImage& image,
                                     const CellImage* mask, std::unique_ptr<GraphicFile>& document,
                                     bool askOptions, bool* saved) {
    if (saved)
        *saved = false;
    auto file = CreateFormatFor(path, m_app.palette.current());
    Status code = file->checkSavable(image);
    if (code != status::Ok) {
        ShowErrorMessage(m_ui, code);
        return code;
    }
    file->setFromImage(image);
    if (document)
        file->setFromDocument(*document);
    if (askOptions && file->askSaveOptions(m_ui) == 2)
        return status::Ok;
    // Only now is the depth known; a No writes nothing, quietly.
    if (!ConfirmColourChange(m_ui, pixelsChangingColour(*file, image)))
        return status::Ok;
    {
        WaitCursor wait(m_ui);
        code = file->saveTo(image, mask);
    }
    if (code != status::Ok) {
        ShowErrorMessage(m_ui, code);
        return code;
    }
    document = std::move(file);
    m_app.imageHistory.add(path);
    m_app.lastDirectory = directoryOf(path);
    if (saved)
        *saved = true;
    return status::Ok;
}

Status LoadSaveDispatch::SaveImage(GraphicFile& document, const CellImage& image,
                                   const CellImage* mask, bool* saved) {
    if (saved)
        *saved = false;
    // Painting since the last save may have used indices the kind cannot hold.
    if (!ConfirmColourChange(m_ui, pixelsChangingColour(document, image)))
        return status::Ok;
    Status code;
    {
        WaitCursor wait(m_ui);
        code = document.saveTo(image, mask);
    }
    ShowErrorMessage(m_ui, code);
    if (saved)
        *saved = code == status::Ok;
    return code;
}

void LoadSaveDispatch::SaveMaskFor(const GraphicFile& document, PaintSurface& surface) {
    // A true-colour cell keeps the mask in its alpha channel.
    if (const auto* cell = dynamic_cast<const KissCellFile*>(&document))
        if (cell->maskToAlpha() && cell->bitsPerPixel() >= 24)
            return;
    // So does a true-colour PNG, whose mask went into its alpha channel.
    if (const auto* png = dynamic_cast<const PngFile*>(&document); png && png->storedMask())
        return;
    SaveMask(surface, document.path(), MagMaskWriter(), m_ui);
}

FileDialog::Result LoadSaveDispatch::runFileDialog(FileDialog::Mode mode, const std::string& title,
                                                   const std::vector<FileType>& types,
                                                   int typeIndex, const std::string& proposedName) {
    FileDialog::Request request;
    request.mode = mode;
    request.title = title;
    request.types = types;
    request.typeIndex = std::clamp(typeIndex, 0, static_cast<int>(types.size()) - 1);
    request.directory = m_app.lastDirectory;
    request.fileName = proposedName;
    // FLOAD carries "View Header", FSAVE "Option"; both are the settings.
    int& option =
        mode == FileDialog::Load ? m_app.fileOptions.viewHeader : m_app.fileOptions.saveOption;
    request.checkValue = option;
    const auto result = m_app.fileOptions.useCommonDialog ? m_ui.systemFileDialog(request)
                                                          : FileDialog::Run(m_ui, request);
    if (result.confirmed) {
        if (result.checkValue >= 0)
            option = result.checkValue;
        m_app.lastDirectory = directoryOf(result.path);
    }
    return result;
}

FileDialog::Result LoadSaveDispatch::ChooseSetToOpen() {
    return runFileDialog(FileDialog::Load, "セットを開く", SetOpenTypes(), 0);
}

FileDialog::Result LoadSaveDispatch::ChooseImageToOpen() {
    const auto result = runFileDialog(FileDialog::Load, "画像の読込", ImageOpenTypes(),
                                      m_app.fileOptions.graphicFileType);
    if (result.confirmed)
        m_app.fileOptions.graphicFileType = result.typeIndex;
    return result;
}

FileDialog::Result LoadSaveDispatch::ChooseImageToSave(const std::string& proposedName) {
    const auto result = runFileDialog(FileDialog::Save, "画像の保存", ImageSaveTypes(),
                                      m_app.fileOptions.graphicFileType, proposedName);
    if (result.confirmed)
        m_app.fileOptions.graphicFileType = result.typeIndex;
    return result;
}

bool LoadSaveDispatch::LoadPalette(const std::string& path, bool showInfo) {
    auto file = std::make_unique<KissPaletteFile>(path);
    Status code = file->readHeader();
    if (code != status::Ok) {
        if (!dealWithFailedEntry(m_app.paletteHistory, path))
            ShowErrorMessage(m_ui, code);
        return false;
    }
    if (showInfo && file->showInfo(m_ui) == 2)
        return false;
    code = file->readGroups(m_app.palette);
    if (code != status::Ok) {
        ShowErrorMessage(m_ui, code);
        return false;
    }
    file->setColourSource(&m_app.palette);
    m_app.currentPaletteFile = std::move(file);
    m_app.paletteHistory.add(path);
    return true;
}

void LoadSaveDispatch::SavePaletteAs() {
    // The palette dialogs keep their own type index and leave GraphicFileType.
    const auto chosen = runFileDialog(FileDialog::Save, "パレットの保存", PaletteSaveTypes(), 0);
    if (!chosen.confirmed)
        return;

    auto file = std::make_unique<KissPaletteFile>(chosen.path);
    if (m_app.currentPaletteFile) {
        file->setKind(m_app.currentPaletteFile->kind());
        file->setGroupCount(m_app.currentPaletteFile->groupCount());
    }
    if (m_app.fileOptions.saveOption && file->askSaveOptions(m_ui) == 2)
        return;
    file->setColourSource(&m_app.palette);
    const Status code = file->saveWithoutImage();
    if (code != status::Ok) {
        ShowErrorMessage(m_ui, code);
        return;
    }
    m_app.currentPaletteFile = std::move(file);
    m_app.paletteHistory.add(chosen.path);
}

bool LoadSaveDispatch::PaletteCommand(Command command) {
    if (const auto index =
            indexInRun(command, Command::PaletteHistoryFirst, Command::PaletteHistoryLast)) {
        const std::string* path = m_app.paletteHistory.entry(*index);
        return path && LoadPalette(std::string(*path), false);
    }
    switch (command) {
    case Command::OpenPalette: {
        const auto chosen = runFileDialog(FileDialog::Load, "パレットの読込", PaletteOpenTypes(),
                                          m_app.paletteFileType);
        if (!chosen.confirmed)
            return false;
        m_app.paletteFileType = chosen.typeIndex;
        return LoadPalette(chosen.path, m_app.fileOptions.viewHeader != 0);
    }
    case Command::SavePalette:
        if (m_app.currentPaletteFile) {
            m_app.currentPaletteFile->setColourSource(&m_app.palette);
            ShowErrorMessage(m_ui, m_app.currentPaletteFile->saveWithoutImage());
        } else {
            SavePaletteAs();
        }
        return false;
    case Command::SavePaletteAs:
        SavePaletteAs();
        return false;
    default:
        return false;
    }
}

} // namespace celdo
