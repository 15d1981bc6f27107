#pragma once

#include "ConvertArguments.h"

namespace celdo::convert {

// IN to OUT as the arguments say: the palette first, the picture or palette
// read as the editor reads it, an optional reduction, then the editor's
// "save as" with the command line's options.  The exit code.
int convert(const Arguments& arguments);

} // namespace celdo::convert
