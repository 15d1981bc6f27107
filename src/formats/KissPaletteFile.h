#pragma once

#include "formats/GraphicFile.h"
#include "framework/ControlTable.h"
#include "palette/PaletteSet.h"

#include <string>

namespace celdo {

// KiSS colour files (.KCF): up to ten colour groups of 16 or 256 colours.
//   kind 0  old palette: no header, 10 groups × 16 colours of 12 bits;
//   kind 1  "KiSS" header, 16 colours a group, 12 bits a colour;
//   kind 2  "KiSS" header, 256 colours a group, 24 bits (red, green, blue).
// A 12-bit colour is the word 0x0GRB.  Loads go into PaletteSet groups, saves
// come from them; the object never holds colours of its own.
class KissPaletteFile : public GraphicFile {
public:
    static constexpr int HeaderSize = 32;
    static constexpr int MaxGroups = PaletteSet::GroupCount;

    explicit KissPaletteFile(std::string path);

    Status readHeader() override;
    int showInfo(Ui& ui) override;
    int askSaveOptions(Ui& ui) override;
    Status writeBody() override;

    // Reads the chosen file groups (load position, load count) into the
    // groups of `destination` from the set position on.  `destination` is
    // changed only when the whole read succeeded.
    Status readGroups(PaletteSet& destination);

    // The palette groups a save writes from (not owned).
    void setColourSource(const PaletteSet* source) { m_colourSource = source; }

    int kind() const { return m_kind; }
    void setKind(int kind) { m_kind = kind; }
    int coloursPerGroup() const { return m_coloursPerGroup; }
    int groupCount() const { return m_groupCount; }
    void setGroupCount(int count) { m_groupCount = count; }
    int bitsPerColour() const { return m_bitsPerColour; }
    int loadCount() const { return m_loadCount; }
    void setLoadCount(int count) { m_loadCount = count; }
    int loadPosition() const { return m_loadPosition; }
    void setLoadPosition(int position) { m_loadPosition = position; }
    int setPosition() const { return m_setPosition; }
    void setSetPosition(int position) { m_setPosition = position; }
    int readPosition() const { return m_readPosition; }
    void setReadPosition(int position) { m_readPosition = position; }

    // Groups of the file that can reach the palette (at most ten).
    int loadableGroups() const;
    // Keeps the load within the ten palette groups: first by the set
    // position, then by the load position.
    void limitLoadCount();

    static std::string loadKindText(int kind);

    ControlTable loadDialog() const;
    ControlTable saveDialog() const;
    void applyLoadDialog(const ControlTable& table);
    void applySaveDialog(const ControlTable& table);

private:
    int m_coloursPerGroup = 16;
    int m_groupCount = 1;
    int m_kind;
    int m_bitsPerColour = 12;
    int m_loadCount = 1;
    int m_loadPosition = 0;
    int m_setPosition = 0;
    int m_readPosition = 0;
    const PaletteSet* m_colourSource = nullptr;
};

} // namespace celdo
