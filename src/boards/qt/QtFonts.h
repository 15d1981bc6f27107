#pragma once

#include "boards/FontChoice.h"
#include "boards/LogicalFont.h"

#include <QFont>

#include <string>
#include <vector>

namespace celdo {

// A font description as a Qt font: the face, the height as pixel size (16
// when 0), the weight when not 0, and the three styles.
QFont toQFont(const LogicalFont& font);
// The description of a Qt font as the program stores it: the face that is
// really used and a negative (character) height.
LogicalFont fromQFont(const QFont& font);

// The installed families from Qt's font database; those that can write
// Japanese carry the Japanese character set.
std::vector<FontFamily> InstalledFontFamilies();

// The face text paste starts with: the first installed Japanese monospace
// family (one named for Japan before the other CJK regions' families), else
// the first Japanese family, else the application font's.
std::string DefaultTextFace();

} // namespace celdo
