#pragma once

#include "BatchFile.h"
#include "ConvertArguments.h"

#include <functional>
#include <string>
#include <vector>

namespace celdo::convert {

// The files a batch converts, in order: a named file as it is; a folder's
// files of the formats the converter reads that `output` can be made from
// (pictures, or palettes for a palette output), sorted by path, and with
// `recursive` those of the folders below it too.
std::vector<std::string> batchInputs(const std::vector<std::string>& named, bool recursive,
                                     const std::string& output);

// DIR/NAME.ext: the input's name without its extension, the format in
// lower case as the extension.
std::string batchOutputPath(const std::string& in, const std::string& folder,
                            const std::string& format);

// The inputs with their outputs.  An input whose output an earlier one
// already writes fails beforehand, so the order of the threads cannot decide
// which file ends up there.
std::vector<BatchFile> planBatch(const std::vector<std::string>& inputs, const std::string& folder,
                                 const std::string& format);

// Called after each file with the number of files done: from the thread
// that finished it, one call at a time.
using BatchProgress = std::function<void(int done, int total)>;

// Converts every pending file as ConvertFile does, `jobs` files at a time
// (at least one; the calling thread works too).  An existing output is
// skipped unless arguments.overwrite.  The outcome of each file does not
// depend on the number of jobs or on the order in which they finish.
void ConvertBatch(std::vector<BatchFile>& files, const Arguments& arguments,
                  const std::string& defaultPalette, int jobs, const BatchProgress& progress);

// The batch form of the command line: progress on a terminal, the summary on
// standard error.  The exit code: 1 when any file failed.
int convertBatch(const Arguments& arguments);

} // namespace celdo::convert
