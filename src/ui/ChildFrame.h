#pragma once

#include "app/CommandHandlers.h"

#include <QMdiSubWindow>

namespace celdo {

class EditorHost;
class ImageWindow;

// A child window of the multiple-document client area ("Gchild"): it hosts
// one image window, carries its display name as caption and fits its outer
// frame to the image window on request.  Its own close box asks the image
// window whether to save.
class ChildFrame : public QMdiSubWindow {
    Q_OBJECT
public:
    explicit ChildFrame(EditorHost& host, QWidget* parent = nullptr);

    // Narrowest outer width after fitting, so that the caption shows.
    static constexpr int MinimumWidth = 160;

    ImageWindow* imageWindow() const { return m_image; }
    // The caption for a display name, with the modified mark's placeholder.
    static QString CaptionFor(const QString& displayName);

    // Command::QueryClose: true when the child refuses to close (its image
    // window asked whether to save and the question was cancelled).
    bool refusesToClose();
    // Destroys the child once its close was agreed elsewhere.
    void closeAgreed();
    // The outer frame fitted so that the client shows the whole canvas.
    void fitToImage();
    // Commands of the child frame and its image window; false when declined.
    bool handleCommand(Command command);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    ImageWindow* m_image = nullptr;
    bool m_closeAgreed = false;
    CommandHandlers m_commands;
};

} // namespace celdo
