#include "ui/EditorApplication.h"

#include <csignal>

// The single-document editor: one picture per running instance; further
// pictures start further instances.
int main(int argc, char* argv[]) {
    // A save past the file-size limit then fails with EFBIG and is cleaned up
    // like any failed write, instead of killing the program.
    std::signal(SIGXFSZ, SIG_IGN);
    return celdo::RunEditor(celdo::FrameVariant::SingleDocument, argc, argv);
}
