#include "ui/TextPasteCommand.h"

#include "app/AppState.h"
#include "boards/FontChoice.h"
#include "boards/TextPaste.h"
#include "boards/qt/QtFonts.h"
#include "boards/qt/QtTextRenderer.h"
#include "canvas/qt/Clipboard.h"
#include "ui/EditorHost.h"
#include "ui/FontChoiceDialog.h"

namespace celdo {

bool RunTextPaste(EditorHost& host) {
    AppState& app = host.app();
    TextPasteSettings& settings = app.textPaste;
    if (settings.font.faceName.empty())
        settings.font.faceName = DefaultTextFace();

    FontChoice choice(InstalledFontFamilies(), settings);
    if (RunFontChoice(choice, host.hostWindow()) != 1)
        return false;
    choice.applyTo(settings);

    QtTextRenderer renderer;
    const auto rendering = RenderText(settings, renderer);
    if (!rendering)
        return false;
    const CellImagePtr picture = MakeTextPicture(*rendering, app.palette.current(),
                                                 app.colours.drawColor, app.colours.borderColor);
    if (!picture)
        return false;
    const CellImagePtr mask = MakeTextMask(*rendering, settings.maskBackground, settings.maskText);
    PutPictureOnClipboard(*picture, mask.get());
    if (settings.pasteAtOnce)
        host.postCommand(Command::Paste);
    return true;
}

} // namespace celdo
