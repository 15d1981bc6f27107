#pragma once

#include <QIcon>

namespace celdo {

// The pictures of the toolbar strip "ToolBar", drawn for this program:
// 16 × 16 icons addressed by the picture index of the button table.
QIcon toolBarIcon(int picture);
QPixmap toolBarPixmap(int picture, int scale = 1);

} // namespace celdo
