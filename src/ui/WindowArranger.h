#pragma once

#include "app/CommandHandlers.h"

#include <QList>
#include <Qt>

#include <functional>

class QMdiArea;
class QMdiSubWindow;

namespace celdo {

// The window commands of the multiple-document client area: cascade, tile
// side by side or one above the other, arrange the minimised children, close
// them all and activate the next.  The geometry comes from WindowLayout.
class WindowArranger {
public:
    // `closed` runs after close-all, whether or not every child went.
    WindowArranger(QMdiArea& area, std::function<void()> closed);

    void registerCommands(CommandHandlers& handlers);

    void cascade();
    void tile(Qt::Orientation orientation);
    void arrangeIcons();
    // From the top, each child that agrees goes; the first that refuses
    // stops the rest.  Modified pictures are asked about.
    void closeAll();
    void activateNext();

    // The cascade's step down: one title bar of the area's children.
    int cascadeStep() const;

private:
    // The shown children that are not minimised, in the area's order; a
    // maximised one is restored first.
    QList<QMdiSubWindow*> normalChildren() const;

    QMdiArea& m_area;
    std::function<void()> m_closed;
};

} // namespace celdo
