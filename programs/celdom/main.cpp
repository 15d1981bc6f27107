#include "ui/EditorApplication.h"

#include <csignal>

// The multiple-document editor: every picture in a child window of one main
// window.
int main(int argc, char* argv[]) {
    // A save past the file-size limit then fails with EFBIG and is cleaned up
    // like any failed write, instead of killing the program.
    std::signal(SIGXFSZ, SIG_IGN);
    return celdo::RunEditor(celdo::FrameVariant::MultipleDocument, argc, argv);
}
