#pragma once

#include "core/CellImage.h"
#include "core/Status.h"
#include "palette/ColourConversionSettings.h"
#include "palette/ColourDistance.h"

#include <array>
#include <cstdint>
#include <vector>

namespace celdo {

// One entry of the manual candidate list: a mapping and its score.
struct ColourCandidate {
    ColourMapping mapping;
    int score = 0;
    friend bool operator==(const ColourCandidate&, const ColourCandidate&) = default;
};

// Maps the colours of a pasted picture onto the destination palette and keeps
// the converted 8-bit picture that the paste shows.  Source colours are the
// colour-table entries of a 1-, 4- or 8-bit source (N = 2, 16, 256) or the 4913
// level colours of a 24-bit one.  Each source colour has one mapping, chosen
// automatically within the ranges of the settings or by hand from a ranked
// candidate list.
class ColourConverter {
public:
    static constexpr int CandidateCapacity = 100;
    static constexpr int CandidateScoreLimit = 10000;

    // Counts the source's colours, resets the settings' last source colour and
    // last destination entry for this paste (pulling ConvertSrc and ConvertDes
    // below them when they are not), assigns every colour automatically and
    // renders.  status() is 8 when memory ran out or there is no source
    // picture; nothing is mapped then and converted() is all index 0 or null.
    ColourConverter(CellImagePtr source, const ColourValue* destinationPalette,
                    ColourConversionSettings& settings);
    ColourConverter(const ColourConverter&) = delete;
    ColourConverter& operator=(const ColourConverter&) = delete;

    Status status() const { return m_status; }
    const CellImage* source() const { return m_source.get(); }
    const CellImage* converted() const { return m_converted.get(); }
    CellImage* converted() { return m_converted.get(); }
    const ColourValue* palette() const { return m_palette.data(); }
    ColourConversionSettings& settings() const { return m_settings; }

    // N: 2, 16, 256 or 4913 (0 without a source).
    int sourceColourCount() const { return m_colourCount; }
    ColourTriple sourceColour(int n) const;
    std::uint32_t pixelCount(int n) const { return m_histogram[n]; }
    const ColourMapping& mapping(int n) const { return m_mappings[n]; }
    bool usable(int index) const { return m_usable[index & 0xFF] != 0; }

    // Makes `palette` the destination: usable flags and the converted
    // picture's colour table.
    void loadPalette(const ColourValue* palette);
    // The automatic assignment over the settings' current ranges.
    void assignAutomatically();
    // Writes every pixel's mapped index into the converted picture.
    void render();
    // Replaces the mapping of source colour n by hand and re-renders; false
    // (and nothing changes) when it equals the present mapping.
    bool assignManually(int n, const ColourMapping& mapping);

    // The candidates for source colour n over all 256 usable entries, best
    // first, at most CandidateCapacity, none scoring above CandidateScoreLimit.
    std::vector<ColourCandidate> candidates(int n) const;

private:
    template <typename Visit> void forEachPixel(const Visit& visit) const;

    ColourConversionSettings& m_settings;
    CellImagePtr m_source;
    CellImagePtr m_converted;
    Status m_status = status::Ok;
    int m_colourCount = 0;
    std::array<ColourValue, 256> m_palette{};
    std::array<std::uint8_t, 256> m_usable{};
    std::vector<std::uint32_t> m_histogram;
    std::vector<ColourMapping> m_mappings;
};

} // namespace celdo
