#include "boards/TextPaste.h"

#include <cmath>

namespace celdo {

namespace {

// Radians per tenth of a degree, as the program has always rounded it.
constexpr double RadiansPerTenth = 0.00174532925;

int roundHalfUp(double value) {
    return static_cast<int>(std::floor(value + 0.5));
}

} // namespace

int textEscapement(int angle, bool vertical) {
    return vertical ? (angle * 10 + 2700) % 3600 : angle * 10;
}

TextPlacement placeText(int escapement, int textWidth, int textHeight) {
    TextPlacement p;
    if (escapement == 0) {
        p.width = textWidth;
        p.height = textHeight;
        return p;
    }
    const double theta = escapement * RadiansPerTenth;
    const double s = std::fabs(std::sin(theta));
    const double c = std::fabs(std::cos(theta));
    const double w = textWidth;
    const double h = textHeight;
    p.width = roundHalfUp(c * w + s * h);
    p.height = roundHalfUp(s * w + c * h);
    // The origin is the corner of the turned text cell that lies on the
    // picture's edge for the quadrant the line runs into.
    if (escapement > 2700) {
        p.originX = roundHalfUp(s * h);
    } else if (escapement > 1800) {
        p.originX = p.width;
        p.originY = roundHalfUp(c * h);
    } else if (escapement > 900) {
        p.originX = roundHalfUp(p.width - s * h);
        p.originY = p.height;
    } else {
        p.originY = roundHalfUp(p.height - c * h);
    }
    return p;
}

std::optional<TextRendering> RenderText(const TextPasteSettings& settings, TextRenderer& renderer) {
    if (settings.text.empty())
        return std::nullopt;
    LogicalFont font = settings.font;
    font.escapement = textEscapement(settings.angle, settings.vertical);
    const TextRenderer::Extent extent = renderer.measure(font, settings.text, settings.vertical);
    const TextPlacement placement = placeText(font.escapement, extent.width, extent.height);
    if (placement.width <= 0 || placement.height <= 0 ||
        placement.width > CellImage::MaxDimension || placement.height > CellImage::MaxDimension)
        return std::nullopt;
    TextRendering rendering;
    rendering.width = placement.width;
    rendering.height = placement.height;
    rendering.pixels = renderer.render(font, settings.text, settings.vertical, placement);
    const std::size_t count =
        static_cast<std::size_t>(placement.width) * static_cast<std::size_t>(placement.height);
    if (rendering.pixels.size() != count)
        return std::nullopt;
    // Smoothed edges count as text when they are darker than middle grey, so
    // exactly two values remain.
    for (std::uint8_t& p : rendering.pixels)
        p = p < 128 ? 0 : 255;
    return rendering;
}

CellImagePtr MakeTextPicture(const TextRendering& rendering, const ColourValue* palette,
                             int drawColour, int borderColour) {
    CellImagePtr picture = CellImage::Create(rendering.width, rendering.height, 8);
    if (!picture || !picture->pixels())
        return nullptr;
    picture->SetPalette(palette, 256);
    const auto text = static_cast<std::uint8_t>(drawColour);
    const auto background = static_cast<std::uint8_t>(borderColour);
    for (int y = 0; y < rendering.height; ++y) {
        const std::uint8_t* source =
            rendering.pixels.data() + static_cast<std::size_t>(y) * rendering.width;
        std::uint8_t* row = picture->row(y);
        for (int x = 0; x < rendering.width; ++x)
            row[x] = source[x] == 0 ? text : background;
    }
    return picture;
}

CellImagePtr MakeTextMask(const TextRendering& rendering, bool maskBackground, bool maskText) {
    if (!maskBackground && !maskText)
        return nullptr;
    CellImagePtr mask = CellImage::Create(rendering.width, rendering.height, 8);
    if (!mask || !mask->pixels())
        return nullptr;
    for (int y = 0; y < rendering.height; ++y) {
        const std::uint8_t* source =
            rendering.pixels.data() + static_cast<std::size_t>(y) * rendering.width;
        std::uint8_t* row = mask->row(y);
        for (int x = 0; x < rendering.width; ++x)
            row[x] = maskText ? static_cast<std::uint8_t>(255 - source[x]) : source[x];
    }
    return mask;
}

} // namespace celdo
