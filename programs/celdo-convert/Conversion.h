#pragma once

#include "ConversionReport.h"
#include "ConvertArguments.h"

#include "palette/ColourMatcher.h"

#include <string>

namespace celdo::convert {

// The palette --reduce uses without --palette: DEFAULT.KCF where the editor
// finds it.
std::string defaultPalettePath();

// IN to OUT as the arguments say: the palette first, the picture or palette
// read as the editor reads it, an optional reduction, then the editor's
// "save as" with the command line's options.  `defaultPalette` stands in for
// --palette when --reduce has none; `progress` follows a reduction (may be
// empty).  Prints nothing and touches no state shared with other
// conversions, so several may run at once.
ConversionReport ConvertFile(const std::string& in, const std::string& out,
                             const Arguments& arguments, const std::string& defaultPalette,
                             const ProgressFunction& progress);

// The single-file form: ConvertFile on the two files of the command line,
// its lines on standard error.  The exit code.
int convert(const Arguments& arguments);

} // namespace celdo::convert
