#include "ui/EditorApplication.h"

// The multiple-document editor: every picture in a child window of one main
// window.
int main(int argc, char* argv[]) {
    return celdo::RunEditor(celdo::FrameVariant::MultipleDocument, argc, argv);
}
