#include "plugins/FilterHost.h"

#include "canvas/MaskGate.h"
#include "framework/Ui.h"
#include "plugins/PluginLibrary.h"
#include "plugins/celdo_plugin.h"

#include <array>
#include <cstdlib>
#include <cstring>
#include <malloc.h>
#include <memory>

namespace celdo {

namespace {

std::string boundedText(const char* text, std::size_t capacity, std::size_t maxBytes) {
    std::string s(text, ::strnlen(text, capacity));
    if (s.size() > maxBytes) {
        std::size_t cut = maxBytes;
        while (cut > 0 && (static_cast<unsigned char>(s[cut]) & 0xC0) == 0x80)
            --cut;
        s.resize(cut);
    }
    return s;
}

void putFirst(std::vector<FilterEntry>& list, const FilterEntry& entry) {
    list.insert(list.begin(), entry);
}

void addOwnFunction(FilterLists& lists, int plugin, const FilterFunctionInfo& info) {
    FilterEntry entry;
    entry.plugin = plugin;
    entry.exportName = boundedText(info.exportName, sizeof info.exportName, 79);
    entry.menuName = boundedText(info.menuName, sizeof info.menuName, 79);
    entry.description = boundedText(info.description, sizeof info.description, 159);
    entry.flags = info.flags;
    // Only the value 8 of each word counts; 4 and 1 beside it tell which
    // smaller depths the function also takes.
    const auto capable = [&](int word) { return (info.capability[word] & CELDO_CAPABILITY) != 0; };
    if (capable(1) || capable(2))
        putFirst(lists.wholeImage, entry);
    if (capable(2))
        putFirst(lists.wholeMask, entry);
    if (capable(4) || capable(5))
        putFirst(lists.regionImage, entry);
    if (capable(5))
        putFirst(lists.regionMask, entry);
}

void enumerateOwn(const PluginLibrary& library, int plugin, FilterLists& lists) {
    auto count = library.function<QueryFunctionCountFunction>(CELDO_EXPORT_QUERY_FUNCTION_COUNT);
    auto query = library.function<QueryFunctionFunction>(CELDO_EXPORT_QUERY_FUNCTION);
    if (!count || !query)
        return;
    count(-1);
    for (std::int32_t index = 0;; ++index) {
        if (!(query(index, nullptr) & CELDO_FUNCTION_OFFERED))
            break;
        FilterFunctionInfo info{};
        if (query(index, &info) == 0)
            break;
        if (info.flags & CELDO_FUNCTION_OFFERED)
            addOwnFunction(lists, plugin, info);
    }
}

void enumerateOutside(const PluginLibrary& library, int plugin, FilterLists& lists) {
    auto getInfo = library.function<DPGetInfoFunction>(CELDO_EXPORT_DP_GET_INFO);
    if (!getInfo)
        return;
    DPInfo info{};
    info.size = sizeof info;
    if (getInfo(&info) == 0)
        return;
    FilterEntry entry;
    entry.plugin = plugin;
    entry.exportName = CELDO_EXPORT_DP_FILTER;
    const std::string name = info.name ? boundedText(info.name, 4096, 79) : std::string();
    entry.menuName = name;
    entry.description = name;
    entry.flags = CELDO_FUNCTION_OFFERED | CELDO_FUNCTION_REGION;
    putFirst(lists.wholeImage, entry);
    putFirst(lists.regionImage, entry);
}

// The bitmap information a filter sees: a 40-byte header and 256 colour-table
// entries, built from (and read back into) a picture.
struct InfoBlock {
    alignas(8) std::array<std::uint8_t, CELDO_BITMAP_INFO_SIZE> bytes{};

    explicit InfoBlock(const CellImage& image) {
        std::memcpy(bytes.data(), &image.bitmapHeader(), sizeof(BitmapInfoHeader));
        std::memcpy(bytes.data() + sizeof(BitmapInfoHeader), image.colorTable(), 256 * 4);
    }
    void* data() { return bytes.data(); }
    std::uint32_t entry(int i) const {
        std::uint32_t value;
        std::memcpy(&value, bytes.data() + sizeof(BitmapInfoHeader) + 4 * i, 4);
        return value;
    }
    // Makes the picture's palette follow the colour table.
    void applyPalette(CellImage& image) const {
        if (image.bitsPerPixel() > 8)
            return;
        std::array<ColourValue, 256> palette{};
        const int count = image.colorCount();
        for (int i = 0; i < count; ++i)
            palette[static_cast<std::size_t>(i)] = swapRedBlue(entry(i) & 0xFFFFFF);
        image.SetPalette(palette.data(), count);
    }
};

// A copy of the picture for the filter to work on.  Unlike Duplicate it does
// not zero-fill the pixel block it is about to overwrite.
CellImagePtr workingCopy(const CellImage& image) {
    auto copy = CellImage::Create(image.width(), image.height(), image.bitsPerPixel(), false);
    if (copy->status() != status::Ok)
        return nullptr;
    void* pixels = std::malloc(image.imageSize());
    if (!pixels)
        return nullptr;
    std::memcpy(pixels, image.pixels(), image.imageSize());
    copy->AdoptPixels(pixels, true);
    if (image.bitsPerPixel() <= 8)
        copy->SetPalette(image.palette(), image.colorCount());
    return copy;
}

Rect clippedRegion(const Rect* region, const CellImage& image) {
    const Rect whole{0, 0, image.width(), image.height()};
    return region ? region->intersected(whole) : whole;
}

// Lays the filter's working copy onto the caller's picture through `gate`.
void copyPixelsBack(const CellImage& from, CellImage& to, MaskGate& gate) {
    if (!gate.guards()) {
        std::memcpy(to.pixels(), from.pixels(), to.imageSize());
        return;
    }
    const int bytesPerPixel = to.bitsPerPixel() / 8;
    for (int y = 0; y < to.height(); ++y)
        gate.Apply(y, 0, to.width(), from.row(y), to.row(y), bytesPerPixel);
}

FilterOutcome runOwn(const PluginLibrary& library, const FilterEntry& entry, CellImage& image,
                     CellImage* mask, const Rect* region, const ColourSelection& colours,
                     void* window) {
    FilterOutcome outcome;
    auto filter = library.function<FilterFunction>(entry.exportName.c_str());
    if (!filter)
        return outcome;
    auto picture = workingCopy(image);
    CellImagePtr maskCopy = mask ? workingCopy(*mask) : nullptr;
    if (!picture || (mask && !maskCopy))
        return outcome;
    InfoBlock pictureInfo(*picture);
    std::unique_ptr<InfoBlock> maskInfo =
        maskCopy ? std::make_unique<InfoBlock>(*maskCopy) : nullptr;

    FilterRequest request{};
    request.version = CELDO_FILTER_REQUEST_VERSION;
    request.headerSize = CELDO_BITMAP_HEADER_SIZE;
    request.bitmapInfo = pictureInfo.data();
    request.bits = picture->pixels();
    if (maskCopy) {
        request.maskInfo = maskInfo->data();
        request.maskBits = maskCopy->pixels();
    }
    request.window = window;
    if (region) {
        const Rect r = clippedRegion(region, image);
        if (r.empty())
            return outcome;
        request.flags |= CELDO_REQUEST_REGION;
        request.x = r.left;
        request.y = r.top;
        request.width = r.width();
        request.height = r.height();
    }
    request.paintKind = colours.paintKind;
    request.drawColor = colours.drawColor;
    request.leftColor = colours.leftColor;
    request.rightColor = colours.rightColor;
    request.toneIndex = colours.toneIndex;
    request.borderColor = colours.borderColor;
    request.reserved1 = -1;

    const std::uint32_t result = filter(&request) & 0x0F;
    // Whatever came back in the result fields is ours now.
    CellImagePtr newImage;
    CellImagePtr newMask;
    if (result & CELDO_RESULT_NEW_IMAGE) {
        newImage = AdoptReturnedPicture(request.newBitmapInfo, request.newBits);
        newMask = AdoptReturnedPicture(request.newMaskInfo, request.newMaskBits);
    } else {
        std::free(request.newBitmapInfo);
        std::free(request.newBits);
        std::free(request.newMaskInfo);
        std::free(request.newMaskBits);
    }
    if (result == 0)
        return outcome;
    if (result & CELDO_RESULT_NEW_IMAGE) {
        if (!newImage)
            return outcome;
        if (newMask && (newMask->bitsPerPixel() != 8 || newMask->width() != newImage->width() ||
                        newMask->height() != newImage->height()))
            newMask.reset();
        outcome.newImage = std::move(newImage);
        outcome.newMask = std::move(newMask);
        outcome.result = result;
        return outcome;
    }
    // The filter was handed the mask and may move it along with the pixels
    // (a flip or a turn), so its result is taken whole, mask and all.
    MaskGate handedOver;
    copyPixelsBack(*picture, image, handedOver);
    if (mask)
        copyPixelsBack(*maskCopy, *mask, handedOver);
    if (result & CELDO_RESULT_PALETTE_CHANGED)
        pictureInfo.applyPalette(image);
    outcome.result = result;
    return outcome;
}

FilterOutcome runOutside(const PluginLibrary& library, const FilterEntry& entry, CellImage& image,
                         const CellImage* mask, const Rect* region, const ColourSelection& colours,
                         void* window) {
    FilterOutcome outcome;
    // This kind of filter never sees the mask, so the host keeps the
    // protected pixels; it can do so only for whole-byte pixels.
    MaskGate gate(mask, image.width(), image.height());
    if (gate.guards() && image.bitsPerPixel() != 8 && image.bitsPerPixel() != 24)
        return outcome;
    auto filter = library.function<DPFilterFunction>(entry.exportName.c_str());
    if (!filter)
        return outcome;
    if (auto setup = library.function<DPFilterSetupFunction>(CELDO_EXPORT_DP_FILTER_SETUP))
        if (setup(window) == 0)
            return outcome;
    auto picture = workingCopy(image);
    if (!picture)
        return outcome;
    InfoBlock info(*picture);
    const InfoBlock before = info;

    DPFilterRecord record{};
    record.size = sizeof record;
    record.sourceInfo = info.data();
    record.sourceBits = picture->pixels();
    record.destinationInfo = info.data();
    record.destinationBits = picture->pixels();
    record.window = window;
    record.leftColor = colours.leftColor;
    record.rightColor = colours.rightColor;
    record.borderColor = colours.borderColor;
    record.toneIndex = colours.paintKind == ColourSelection::Tile ? colours.toneIndex : 0;
    const Rect r = clippedRegion(region, image);
    if (r.empty())
        return outcome;
    if (region)
        record.flags = CELDO_DP_REGION;
    record.x = r.left;
    record.y = r.top;
    record.width = r.width();
    record.height = r.height();

    if (filter(&record) == 0)
        return outcome;
    std::uint32_t result = CELDO_RESULT_RAN | (region ? CELDO_RESULT_REGION : 0u);
    for (int i = 0; i < 256; ++i)
        if (info.entry(i) != before.entry(i)) {
            result |= CELDO_RESULT_PALETTE_CHANGED;
            break;
        }
    copyPixelsBack(*picture, image, gate);
    if (result & CELDO_RESULT_PALETTE_CHANGED)
        info.applyPalette(image);
    outcome.result = result;
    return outcome;
}

} // namespace

CellImagePtr AdoptReturnedPicture(void* infoBlock, void* pixelBlock) {
    std::unique_ptr<void, MallocDeleter> info(infoBlock);
    std::unique_ptr<void, MallocDeleter> pixels(pixelBlock);
    if (!info || !pixels)
        return nullptr;
    const std::size_t infoSize = ::malloc_usable_size(info.get());
    if (infoSize < sizeof(BitmapInfoHeader))
        return nullptr;
    BitmapInfoHeader header;
    std::memcpy(&header, info.get(), sizeof header);
    const int depth = CellImage::declaredDepth(header.planes, header.bitCount);
    const std::uint32_t stride = CellImage::strideFor(header.width, depth);
    if (stride == 0 || header.height <= 0 || header.height > CellImage::MaxDimension ||
        header.size < sizeof(BitmapInfoHeader) || header.size > infoSize)
        return nullptr;
    const std::size_t colours = depth == 1 ? 2 : depth == 4 ? 16 : depth == 8 ? 256 : 0;
    if (infoSize - header.size < colours * 4)
        return nullptr;
    if (::malloc_usable_size(pixels.get()) <
        static_cast<std::size_t>(stride) * static_cast<std::size_t>(header.height))
        return nullptr;
    return CellImage::AdoptGlobalBitmap(info.release(), pixels.release());
}

bool BuildFilterLists(const std::vector<RegisteredPlugin>& plugins, FilterLists& lists) {
    FilterLists built;
    for (std::size_t i = 0; i < plugins.size(); ++i) {
        PluginLibrary library(plugins[i].path);
        if (!library.loaded())
            return false;
        if (plugins[i].kind == 1)
            enumerateOwn(library, static_cast<int>(i), built);
        else if (plugins[i].kind == 2)
            enumerateOutside(library, static_cast<int>(i), built);
    }
    lists = std::move(built);
    return true;
}

bool RebuildFilterLists(const std::vector<RegisteredPlugin>& plugins, FilterLists& lists, Ui& ui) {
    if (BuildFilterLists(plugins, lists))
        return true;
    ui.messageBox("メモリー不足", "Celdos", MessageIcon::Information, MessageButtons::Ok);
    return false;
}

FilterOutcome RunFilter(const FilterEntry& entry, const RegisteredPlugin& plugin, CellImage& image,
                        CellImage* mask, const Rect* region, const ColourSelection& colours,
                        void* window) {
    if (!image.pixels() ||
        (mask && (!mask->pixels() || mask->width() != image.width() ||
                  mask->height() != image.height() || mask->bitsPerPixel() != 8)))
        return {};
    PluginLibrary library(plugin.path);
    if (!library.loaded())
        return {};
    if (plugin.kind == 1)
        return runOwn(library, entry, image, mask, region, colours, window);
    if (plugin.kind == 2)
        return runOutside(library, entry, image, mask, region, colours, window);
    return {};
}

} // namespace celdo
