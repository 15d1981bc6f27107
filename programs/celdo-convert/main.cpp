// celdo-convert: converts pictures between the editor's formats (BMP, MAG,
// ICO, CUR, CEL) and palettes (KCF), and prints a file's header.  Files are
// given to the format objects exactly as the editor's load and save dispatch
// gives them (CreateFormatFor), and a save runs the editor's "save as"
// sequence (checkSavable, setFromImage, setFromDocument with the input's
// file) with the options of the command line in place of the options dialog.
// Nothing is asked.  With --to FORMAT -o DIR many files go to one folder,
// several at a time (BatchConversion).  With --render a KiSS set's page
// becomes a PNG file (SetRender).

#include "BatchConversion.h"
#include "Conversion.h"
#include "ConvertArguments.h"
#include "FileInfo.h"
#include "SetRender.h"

#include <csignal>

int main(int argc, char** argv) {
    // A save past the file-size limit then fails with EFBIG and is cleaned up
    // like any failed write, instead of killing the program.
    std::signal(SIGXFSZ, SIG_IGN);
    using namespace celdo::convert;
    Arguments arguments;
    const int parsed = parseArguments(argc, argv, arguments);
    if (parsed < 0)
        return 0;
    if (parsed != 0)
        return parsed;
    if (arguments.info)
        return printInfo(arguments.files[0]);
    if (!arguments.render.empty())
        return renderSet(arguments);
    return arguments.batch() ? convertBatch(arguments) : convert(arguments);
}
