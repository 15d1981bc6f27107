#pragma once

#include "boards/TextPaste.h"

namespace celdo {

// Text paste's renderer on Qt's font engine: the font without smoothing, so
// the picture holds only text and background.  A vertical line stands its
// wide (Japanese) characters upright and turns the others on their side,
// as a vertical Japanese font does.
class QtTextRenderer : public TextRenderer {
public:
    Extent measure(const LogicalFont& font, const std::string& text, bool vertical) override;
    std::vector<std::uint8_t> render(const LogicalFont& font, const std::string& text,
                                     bool vertical, const TextPlacement& placement) override;
};

} // namespace celdo
