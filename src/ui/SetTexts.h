#pragma once

#include "sets/KissSet.h"

#include <QFileInfo>
#include <QString>

#include <string>

namespace celdo {

// A file of the set as the set window names it: its name without folder.
inline QString fileNameText(const std::string& path) {
    return QFileInfo(QString::fromStdString(path)).fileName();
}

// A cell line's file as its configuration file writes it (Shift-JIS).
inline QString cellNameText(const CnfCell& cell) {
    return QFileInfo(QString::fromStdString(KissSet::nameText(cell.file))).fileName();
}

} // namespace celdo
