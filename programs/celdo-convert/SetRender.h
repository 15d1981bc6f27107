#pragma once

#include "ConvertArguments.h"

namespace celdo::convert {

// --render: draws the page of the set as a viewer shows it into an RGB PNG
// file.  Files the set names but that are missing or unreadable are listed
// on standard error; they do not fail the run.  Returns the exit code.
int renderSet(const Arguments& arguments);

} // namespace celdo::convert
