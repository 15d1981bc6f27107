#pragma once

#include <QString>

namespace celdo {

// Qt's own texts (standard buttons, the system file and font dialogs, the
// child windows' system menu, edit context menus) in Japanese, as the
// program's own texts are, whatever the user's locale.

// Where Qt's Japanese translation is expected: "qtbase_ja.qm" in Qt's
// translations directory.
QString QtTranslationFile();

// Installs the translation into the running application once; later calls
// do nothing.  False when the file is missing or unreadable.
bool InstallQtTranslation();

} // namespace celdo
