#include "SetRender.h"

#include "core/CellImage.h"
#include "formats/PngFile.h"
#include "sets/KissSet.h"
#include "sets/SetPage.h"

#include <cstdint>
#include <cstdio>
#include <memory>
#include <new>
#include <vector>

namespace celdo::convert {

int renderSet(const Arguments& arguments) {
    std::unique_ptr<KissSet> set;
    const Status loaded = KissSet::Load(arguments.render, set);
    if (loaded != status::Ok || !set)
        return reportFailure(arguments.render, loaded != status::Ok ? loaded : status::ReadError);
    for (const std::string& line : set->reports())
        std::fprintf(stderr, "celdo-convert: %s: %s\n", arguments.render.c_str(), line.c_str());

    const int width = set->document().width();
    const int height = set->document().height();
    if (static_cast<long long>(width) * height > MaxPagePixels)
        return reportFailure(arguments.files[0], status::OutOfMemory);
    CellImagePtr picture = CellImage::Create(width, height, 24);
    if (!picture || picture->status() != status::Ok)
        return reportFailure(arguments.files[0], status::OutOfMemory);
    std::vector<std::uint32_t> page;
    try {
        page.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    } catch (const std::bad_alloc&) {
        return reportFailure(arguments.files[0], status::OutOfMemory);
    }
    SetPageView view;
    view.page = arguments.page;
    view.initialScript = arguments.fkissInit;
    RenderSetPage(*set, view, {0, 0, width, height}, page.data(), static_cast<std::size_t>(width));
    // 0xFFRRGGBB pixels into the picture's blue, green, red rows.
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = picture->row(y);
        const std::uint32_t* source = page.data() + static_cast<std::size_t>(y) * width;
        for (int x = 0; x < width; ++x) {
            row[3 * x] = static_cast<std::uint8_t>(source[x]);
            row[3 * x + 1] = static_cast<std::uint8_t>(source[x] >> 8);
            row[3 * x + 2] = static_cast<std::uint8_t>(source[x] >> 16);
        }
    }
    PngFile file(arguments.files[0]);
    file.setFromImage(*picture);
    const Status saved = file.saveTo(*picture, nullptr);
    if (saved != status::Ok)
        return reportFailure(arguments.files[0], saved);
    return 0;
}

} // namespace celdo::convert
