#include "formats/KissPaletteFile.h"

#include "formats/KissHeader.h"

#include "formats/KissCellFile.h"
#include "formats/LittleEndian.h"
#include "framework/Ui.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <new>
#include <vector>

namespace celdo {

namespace {

constexpr std::uint8_t Magic[4] = {'K', 'i', 'S', 'S'};
constexpr std::uint8_t PaletteMark = 0x10;
// Labels beside the scroll bars carry no id of their own.
constexpr int CaptionId = -1;

using littleEndian::signedWord;

ColourValue decode12(const std::uint8_t* bytes) {
    const unsigned word = bytes[0] | (bytes[1] << 8);
    return rgb(17 * ((word >> 4) & 0x0F), 17 * ((word >> 8) & 0x0F), 17 * (word & 0x0F));
}

ColourValue decode24(const std::uint8_t* bytes) {
    return rgb(bytes[0], bytes[1], bytes[2]);
}

void encode12(std::uint8_t* bytes, ColourValue c) {
    bytes[0] = static_cast<std::uint8_t>((redOf(c) & 0xF0) | (blueOf(c) >> 4));
    bytes[1] = static_cast<std::uint8_t>(greenOf(c) >> 4);
}

void encode24(std::uint8_t* bytes, ColourValue c) {
    bytes[0] = static_cast<std::uint8_t>(redOf(c));
    bytes[1] = static_cast<std::uint8_t>(greenOf(c));
    bytes[2] = static_cast<std::uint8_t>(blueOf(c));
}

} // namespace

KissPaletteFile::KissPaletteFile(std::string path)
    : GraphicFile(std::move(path)), m_kind(KissCellFile::lastCellKind) {
    m_typeName = "PALETTE";
}

Status KissPaletteFile::readHeader() {
    KissHead header;
    bool tagged = false;
    if (const Status code = ReadKissHead(*this, header, tagged); code != status::Ok)
        return fail(code);
    auto failClosed = [this](Status code) {
        close();
        return fail(code);
    };
    if (tagged) {
        m_bitsPerColour = header[5];
        m_coloursPerGroup = signedWord(&header[8]);
        m_groupCount = signedWord(&header[10]);
        m_kind = m_bitsPerColour == 12 ? 1 : 2;
        m_dataOffset = HeaderSize;
        if (m_bitsPerColour != 12 && m_bitsPerColour != 24)
            return failClosed(status::FormatError);
        // A group needs a colour and a file a group; the fields are signed.
        if (m_coloursPerGroup <= 0 || m_groupCount <= 0)
            return failClosed(status::FormatError);
    } else {
        m_coloursPerGroup = 16;
        m_groupCount = 10;
        m_bitsPerColour = 12;
        m_kind = 0;
        m_dataOffset = 0;
    }
    m_bitsPerPixel = m_bitsPerColour;
    m_loadCount = loadableGroups();
    return fail(status::Ok);
}

int KissPaletteFile::loadableGroups() const {
    return std::clamp(m_groupCount, 0, MaxGroups);
}

void KissPaletteFile::limitLoadCount() {
    m_setPosition = std::clamp(m_setPosition, 0, MaxGroups - 1);
    m_loadPosition = std::clamp(m_loadPosition, 0, MaxGroups - 1);
    m_loadCount = std::max(m_loadCount, 0);
    if (m_setPosition + m_loadCount > MaxGroups)
        m_loadCount = MaxGroups - m_setPosition;
    if (m_loadPosition + m_loadCount > MaxGroups)
        m_loadCount = MaxGroups - m_loadPosition;
}

Status KissPaletteFile::readGroups(PaletteSet& destination) {
    limitLoadCount();
    if (!isOpen() && open('R', true) != status::Ok)
        return m_error;
    auto finish = [this](Status code) {
        close();
        return fail(code);
    };
    if (m_bitsPerColour != 12 && m_bitsPerColour != 24)
        return finish(status::FormatError);

    std::vector<ColourValue> work;
    std::vector<std::uint8_t> groupBytes;
    const int bytesPerColour = m_bitsPerColour == 12 ? 2 : 3;
    const std::size_t groupSize = static_cast<std::size_t>(std::max(m_coloursPerGroup, 0)) *
                                  static_cast<std::size_t>(bytesPerColour);
    try {
        work.assign(static_cast<std::size_t>(MaxGroups) * PaletteSet::GroupSize, 0);
        groupBytes.resize(groupSize);
    } catch (const std::bad_alloc&) {
        return finish(status::OutOfMemory);
    }

    // Groups past the file's end stay zero; groups past the tenth are never
    // read.  The groups that are read must all be in the file.
    const int end = std::min(m_loadPosition + m_loadCount, loadableGroups());
    if (end > 0) {
        const long long needed = static_cast<long long>(groupSize) * end;
        if (m_fileSize < m_dataOffset || m_fileSize - m_dataOffset < needed)
            return finish(status::ReadError);
        if (seek(m_dataOffset, SEEK_SET) < 0)
            return finish(status::SeekError);
    }
    // Only the first 256 colours of a group fit a palette group.
    const int kept = std::min(m_coloursPerGroup, PaletteSet::GroupSize);
    for (int g = 0; g < end; ++g) {
        if (read(groupBytes.data(), groupSize) != status::Ok)
            return finish(status::ReadError);
        ColourValue* out = work.data() + static_cast<std::size_t>(g) * PaletteSet::GroupSize;
        for (int i = 0; i < kept; ++i) {
            const std::uint8_t* bytes = groupBytes.data() + i * bytesPerColour;
            out[i] = bytesPerColour == 2 ? decode12(bytes) : decode24(bytes);
        }
    }
    for (int i = 0; i < m_loadCount; ++i)
        std::copy_n(work.data() +
                        static_cast<std::size_t>(m_loadPosition + i) * PaletteSet::GroupSize,
                    PaletteSet::GroupSize, destination.group(m_setPosition + i));
    return finish(status::Ok);
}

Status KissPaletteFile::writeBody() {
    if (!m_colourSource)
        return fail(status::BadImage);
    m_kind = std::clamp(m_kind, 0, 2);
    if (m_kind == 0) {
        m_groupCount = MaxGroups;
        m_coloursPerGroup = 16;
        m_bitsPerColour = 12;
        m_readPosition = 0;
    } else {
        m_readPosition = std::clamp(m_readPosition, 0, MaxGroups - 1);
        m_groupCount = std::clamp(m_groupCount, 1, MaxGroups - m_readPosition);
        m_coloursPerGroup = m_kind == 1 ? 16 : 256;
        m_bitsPerColour = m_kind == 1 ? 12 : 24;
        std::array<std::uint8_t, HeaderSize> header{};
        std::memcpy(header.data(), Magic, 4);
        header[4] = PaletteMark;
        header[5] = static_cast<std::uint8_t>(m_bitsPerColour);
        header[8] = static_cast<std::uint8_t>(m_coloursPerGroup & 0xFF);
        header[9] = static_cast<std::uint8_t>(m_coloursPerGroup >> 8);
        header[10] = static_cast<std::uint8_t>(m_groupCount);
        if (write(header.data(), header.size()) != status::Ok)
            return m_error;
    }
    const int bytesPerColour = m_bitsPerColour == 12 ? 2 : 3;
    std::array<std::uint8_t, 3 * PaletteSet::GroupSize> bytes{};
    for (int i = 0; i < m_groupCount; ++i) {
        const ColourValue* group = m_colourSource->group(m_readPosition + i);
        for (int c = 0; c < m_coloursPerGroup; ++c) {
            if (bytesPerColour == 2)
                encode12(&bytes[2 * c], group[c]);
            else
                encode24(&bytes[3 * c], group[c]);
        }
        if (write(bytes.data(), static_cast<std::size_t>(m_coloursPerGroup) * bytesPerColour) !=
            status::Ok)
            return m_error;
    }
    return fail(status::Ok);
}

std::string KissPaletteFile::loadKindText(int kind) {
    switch (kind) {
    case 0:
        return "4096色（旧タイプ）";
    case 1:
        return "4096色";
    case 2:
        return "1600万色";
    default:
        return "（不明）";
    }
}

ControlTable KissPaletteFile::loadDialog() const {
    const int groups = std::max(loadableGroups(), 1);
    ControlTable table;
    table.name = "KissPaletteLoad";
    table.title = "KiSS パレット ファイル情報";
    table.add(staticText(200, name(), 0));
    table.add(staticText(
        201, std::to_string(m_coloursPerGroup) + " 色 × " + std::to_string(m_groupCount) + " 組",
        1));
    table.add(staticText(202, loadKindText(m_kind), 2));
    table.add(staticText(CaptionId, "読込位置", 3));
    table.add(scrollBar(360, 0, groups - 1, std::max((groups - 1) / 3, 1), m_loadPosition, 361, 3));
    table.add(staticText(361, "", 3));
    table.add(staticText(CaptionId, "読込組数", 4));
    table.add(scrollBar(369, 1, groups, std::max(groups / 3, 1), m_loadCount, 370, 4));
    table.add(staticText(370, "", 4));
    table.add(staticText(CaptionId, "設定位置", 5));
    table.add(scrollBar(363, 0, MaxGroups - 1, 3, m_setPosition, 364, 5));
    table.add(staticText(364, "", 5));
    table.add(button(1, "読込", 6));
    table.add(button(2, "中止", 6));
    table.refreshLabels();
    return table;
}

ControlTable KissPaletteFile::saveDialog() const {
    ControlTable table;
    table.name = "KissPaletteSave";
    table.title = "KISS パレット保存情報";
    table.add(staticText(200, name(), 0));
    table.add(staticText(CaptionId, "保存組数", 1));
    table.add(scrollBar(360, 1, MaxGroups, 3, m_groupCount, 361, 1));
    table.add(staticText(361, "", 1));
    table.add(staticText(CaptionId, "読出位置", 2));
    table.add(scrollBar(363, 0, MaxGroups - 1, 3, m_readPosition, 364, 2));
    table.add(staticText(364, "", 2));
    table.add(groupBox(240, " 種類 ", 3));
    table.add(radioButton(241, "16色(old)", 240, m_kind == 0, 4));
    table.add(radioButton(242, "16色", 240, m_kind == 1, 4));
    table.add(radioButton(243, "256色", 240, m_kind == 2, 4));
    table.add(button(1, "保存", 5));
    table.add(button(2, "中止", 5));
    table.refreshLabels();
    return table;
}

void KissPaletteFile::applyLoadDialog(const ControlTable& table) {
    m_loadPosition = table.value(360);
    m_loadCount = table.value(369);
    m_setPosition = table.value(363);
    limitLoadCount();
}

void KissPaletteFile::applySaveDialog(const ControlTable& table) {
    m_groupCount = table.value(360);
    m_readPosition = table.value(363);
    const int chosen = table.checkedRadio(241, 243);
    if (chosen >= 0)
        m_kind = chosen - 241;
}

int KissPaletteFile::showInfo(Ui& ui) {
    ControlTable table = loadDialog();
    const int result = ui.runDialog(table);
    if (result == 1)
        applyLoadDialog(table);
    return result;
}

int KissPaletteFile::askSaveOptions(Ui& ui) {
    ControlTable table = saveDialog();
    const int result = ui.runDialog(table);
    if (result == 1)
        applySaveDialog(table);
    return result;
}

} // namespace celdo
