#pragma once

#include "core/CellImage.h"
#include "palette/ColourDistance.h"
#include "palette/ColourMatcher.h"

namespace celdo {

// The true-colour image conversion: a new 8-bit picture of the source's size
// whose colour table is `palette` (256 entries).  Every pixel is quantised to
// one of the 4913 level colours; each level colour that occurs is mapped once
// with the automatic rule over the whole palette (duplicate entries never
// chosen), and the pixel gets the index its mapping draws at its position.
// Null when the source is not a 24-bit picture with pixels or memory runs out.
// `progress` (optional) is called on the calling thread.
CellImagePtr ReduceToGroup(const CellImage& source, const ColourValue* palette,
                           const ColourMatchOptions& options,
                           const ProgressFunction& progress = {});

namespace detail {

// The rule followed literally: rows from the top, each level colour mapped
// with mapColourDirect on first use.  Slow; kept to check ReduceToGroup.
CellImagePtr ReduceToGroupReference(const CellImage& source, const ColourValue* palette,
                                    const ColourMatchOptions& options);

} // namespace detail

} // namespace celdo
