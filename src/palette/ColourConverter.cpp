#include "palette/ColourConverter.h"

#include "palette/ColourMatcher.h"

#include <algorithm>
#include <new>
#include <utility>

namespace celdo {

namespace {

// True-colour sources are counted by colour levels instead of table entries.
int colourCountOf(int bitsPerPixel) {
    const int tableSize = CellImage::fullColourCount(bitsPerPixel);
    return tableSize ? tableSize : LevelColourCount;
}

} // namespace

ColourConverter::ColourConverter(CellImagePtr source, const ColourValue* destinationPalette,
                                 ColourConversionSettings& settings)
    : m_settings(settings), m_source(std::move(source)) {
    std::copy(destinationPalette, destinationPalette + 256, m_palette.begin());
    if (!m_source || m_source->pixels() == nullptr) {
        m_status = status::OutOfMemory;
        return;
    }
    try {
        m_converted = CellImage::Create(m_source->width(), m_source->height(), 8);
        if (m_converted->status() != status::Ok) {
            m_converted.reset();
            m_status = status::OutOfMemory;
            return;
        }
        m_converted->SetPalette(m_palette.data(), 256);
        const int count = colourCountOf(m_source->bitsPerPixel());
        m_histogram.assign(count, 0);
        m_mappings.assign(count, ColourMapping{});
        m_colourCount = count;
    } catch (const std::bad_alloc&) {
        m_histogram.clear();
        m_mappings.clear();
        m_status = status::OutOfMemory;
        return;
    }

    buildUsableFlags(m_palette.data(), m_usable.data());
    m_settings.lastSource = m_colourCount - 1;
    m_settings.lastDestination = 255;
    for (int i = 255; i >= 1; --i) {
        if (m_usable[i]) {
            m_settings.lastDestination = i;
            break;
        }
    }
    if (m_settings.convertSrc >= m_settings.lastSource)
        m_settings.convertSrc = m_settings.lastSource - 1;
    if (m_settings.convertDes >= m_settings.lastDestination)
        m_settings.convertDes = m_settings.lastDestination - 1;

    forEachPixel([this](int, int, int n) { ++m_histogram[n]; });
    assignAutomatically();
    render();
}

template <typename Visit> void ColourConverter::forEachPixel(const Visit& visit) const {
    const CellImage& source = *m_source;
    const int width = source.width();
    for (int y = 0; y < source.height(); ++y) {
        const std::uint8_t* row = source.row(y);
        switch (source.bitsPerPixel()) {
        case 1:
            for (int x = 0; x < width; ++x)
                visit(x, y, (row[x >> 3] >> (7 - (x & 7))) & 1);
            break;
        case 4:
            for (int x = 0; x < width; ++x)
                visit(x, y, (x & 1) ? row[x >> 1] & 0x0F : row[x >> 1] >> 4);
            break;
        case 8:
            for (int x = 0; x < width; ++x)
                visit(x, y, row[x]);
            break;
        default:
            for (int x = 0; x < width; ++x, row += 3)
                visit(x, y, levelColourNumber(row[2], row[1], row[0]));
            break;
        }
    }
}

ColourTriple ColourConverter::sourceColour(int n) const {
    if (m_colourCount == LevelColourCount)
        return levelColour(n);
    return tripleOf(m_source->paletteEntry(n));
}

void ColourConverter::loadPalette(const ColourValue* palette) {
    std::copy(palette, palette + 256, m_palette.begin());
    buildUsableFlags(m_palette.data(), m_usable.data());
    if (m_converted)
        m_converted->SetPalette(m_palette.data(), 256);
}

void ColourConverter::assignAutomatically() {
    if (m_status != status::Ok)
        return;
    std::vector<ColourTriple> colours;
    std::vector<int> numbers;
    int from = 0;
    int to = m_colourCount - 1;
    if (m_colourCount <= 256) {
        // Colours outside the source range keep their own index.
        for (int n = 0; n < m_colourCount; ++n)
            m_mappings[n] = ColourMapping::single(n);
        from = std::max(m_settings.convertSrc, 0);
        to = std::min(m_settings.lastSource, m_colourCount - 1);
    }
    for (int n = from; n <= to; ++n) {
        if (m_histogram[n] != 0) {
            colours.push_back(sourceColour(n));
            numbers.push_back(n);
        }
    }
    std::vector<ColourMapping> mapped(colours.size());
    const ColourMatcher matcher(m_palette.data(), m_usable.data(), m_settings.convertDes,
                                m_settings.lastDestination, m_settings.matchOptions());
    matcher.matchAll(colours.data(), colours.size(), mapped.data());
    for (std::size_t k = 0; k < numbers.size(); ++k)
        m_mappings[numbers[k]] = mapped[k];
}

void ColourConverter::render() {
    if (m_status != status::Ok)
        return;
    CellImage& target = *m_converted;
    forEachPixel([this, &target](int x, int y, int n) {
        target.row(y)[x] = static_cast<std::uint8_t>(m_mappings[n].indexAt(x, y));
    });
}

bool ColourConverter::assignManually(int n, const ColourMapping& mapping) {
    if (m_status != status::Ok || n < 0 || n >= m_colourCount || m_mappings[n] == mapping)
        return false;
    m_mappings[n] = mapping;
    render();
    return true;
}

std::vector<ColourCandidate> ColourConverter::candidates(int n) const {
    std::vector<ColourCandidate> list;
    if (m_status != status::Ok || n < 0 || n >= m_colourCount)
        return list;
    list.reserve(CandidateCapacity);
    const ColourTriple c = sourceColour(n);
    const int t = m_settings.rgbOut;

    // Once the list is full, a candidate replaces the first entry with the
    // largest score when it scores strictly less; that entry is kept at hand.
    std::size_t worst = 0;
    auto findWorst = [&list, &worst]() {
        worst = 0;
        for (std::size_t k = 1; k < list.size(); ++k)
            if (list[k].score > list[worst].score)
                worst = k;
    };
    auto offer = [&](const ColourMapping& mapping, int score) {
        if (score > CandidateScoreLimit)
            return;
        if (static_cast<int>(list.size()) < CandidateCapacity) {
            list.push_back({mapping, score});
            if (static_cast<int>(list.size()) == CandidateCapacity)
                findWorst();
            return;
        }
        if (score < list[worst].score) {
            list[worst] = {mapping, score};
            findWorst();
        }
    };

    for (int i = 0; i < 256; ++i)
        if (m_usable[i])
            offer(ColourMapping::single(i), colourDistance(c, tripleOf(m_palette[i]), t));

    if (m_settings.useTile) {
        for (int p = 0; p <= 254; ++p) {
            const ColourTriple a = tripleOf(m_palette[p]);
            if (!m_usable[p] || !withinReach(c, a, t))
                continue;
            const int dp = colourDistance(c, a, t);
            for (int q = p + 1; q <= 255; ++q) {
                const ColourTriple b = tripleOf(m_palette[q]);
                if (!m_usable[q] || !withinReach(c, b, t))
                    continue;
                const int base = (dp + colourDistance(c, b, t)) / 8;
                const ColourTriple mean{(a.r + b.r) / 2, (a.g + b.g) / 2, (a.b + b.b) / 2};
                offer(ColourMapping::mix(1, p, q), colourDistance(c, mean, t) + base);
                if (m_settings.useTile2) {
                    const ColourTriple mostlyA{(3 * a.r + b.r) / 4, (3 * a.g + b.g) / 4,
                                               (3 * a.b + b.b) / 4};
                    offer(ColourMapping::mix(2, p, q), colourDistance(c, mostlyA, t) + base);
                    const ColourTriple mostlyB{(3 * b.r + a.r) / 4, (3 * b.g + a.g) / 4,
                                               (3 * b.b + a.b) / 4};
                    offer(ColourMapping::mix(2, q, p), colourDistance(c, mostlyB, t) + base);
                }
            }
        }
    }

    // Selection sort: each position takes the first of the smallest remaining.
    for (std::size_t pos = 0; pos + 1 < list.size(); ++pos) {
        std::size_t smallest = pos;
        for (std::size_t k = pos + 1; k < list.size(); ++k)
            if (list[k].score < list[smallest].score)
                smallest = k;
        if (smallest != pos)
            std::swap(list[pos], list[smallest]);
    }
    return list;
}

} // namespace celdo
