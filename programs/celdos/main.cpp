#include "ui/EditorApplication.h"

// The single-document editor: one picture per running instance; further
// pictures start further instances.
int main(int argc, char* argv[]) {
    return celdo::RunEditor(celdo::FrameVariant::SingleDocument, argc, argv);
}
