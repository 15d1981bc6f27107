#include "app/NewImage.h"

#include "app/Settings.h"
#include "framework/Ui.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace celdo {

namespace {

std::string sizeText(ImageSize size) {
    return std::to_string(size.width) + "x" + std::to_string(size.height);
}

// The number an edit holds when it is only digits, else -1.
int editNumber(const std::string& text) {
    if (text.empty() || text.size() > 4)
        return -1;
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return -1;
        value = value * 10 + (c - '0');
    }
    return value;
}

std::string digitsOnly(const std::string& text) {
    std::string digits;
    for (char c : text)
        if (c >= '0' && c <= '9')
            digits += c;
    return digits;
}

} // namespace

void NewImageSizes::read(const Settings& settings) {
    m_default = {settings.readInt("NewSizeX", 320), settings.readInt("NewSizeY", 240)};
    m_sizes.clear();
    for (int i = 1; i <= MaxSizes - 1; ++i) {
        const int w = settings.readInt("sizex" + std::to_string(i), -1);
        const int h = settings.readInt("sizey" + std::to_string(i), -1);
        if (!valid(w, h))
            break;
        m_sizes.push_back({w, h});
    }
    if (m_sizes.empty())
        m_sizes = {{320, 240}, {640, 480}, {1024, 768}};
}

void NewImageSizes::setDefault(ImageSize size, Settings& settings) {
    m_default = size;
    settings.writeInt("NewSizeX", size.width);
    settings.writeInt("NewSizeY", size.height);
    settings.flush();
}

bool NewImageSizes::add(ImageSize size, Settings& settings) {
    if (std::find(m_sizes.begin(), m_sizes.end(), size) != m_sizes.end())
        return false;
    m_sizes.insert(m_sizes.begin(), size);
    if (static_cast<int>(m_sizes.size()) > MaxSizes)
        m_sizes.resize(MaxSizes);
    const int count = static_cast<int>(m_sizes.size());
    for (int i = 1; i <= count; ++i) {
        settings.writeInt("sizex" + std::to_string(i),
                          m_sizes[static_cast<std::size_t>(i - 1)].width);
        settings.writeInt("sizey" + std::to_string(i),
                          m_sizes[static_cast<std::size_t>(i - 1)].height);
    }
    settings.writeInt("sizex" + std::to_string(count + 1), -1);
    settings.flush();
    return true;
}

ControlTable NewGraphDialog(const NewImageSizes& sizes, bool useCurrentColour) {
    using namespace newgraph;
    const ImageSize start = sizes.defaultSize();
    const int startW = std::clamp(start.width, 1, NewImageSizes::MaxDimension);
    const int startH = std::clamp(start.height, 1, NewImageSizes::MaxDimension);

    std::vector<std::string> items{"（その他）"};
    int selected = 0;
    for (const auto& size : sizes.sizes()) {
        items.push_back(sizeText(size));
        if (selected == 0 && size == start)
            selected = static_cast<int>(items.size()) - 1;
    }

    ControlTable table;
    table.name = "NewGraph";
    table.title = "新規画像の作成";
    table.add(staticText(-1, "寸法", 0));
    table.add(comboBox(Sizes, items, selected, 0));
    table.add(staticText(-2, "幅", 1));
    table.add(editField(WidthEdit, std::to_string(startW), 4, 1));
    table.add(scrollBar(WidthBar, 1, NewImageSizes::MaxDimension, 20, startW, WidthEdit, 1));
    table.add(staticText(-3, "高さ", 2));
    table.add(editField(HeightEdit, std::to_string(startH), 4, 2));
    table.add(scrollBar(HeightBar, 1, NewImageSizes::MaxDimension, 20, startH, HeightEdit, 2));
    table.add(checkBox(AddToList, "このサイズをリストに加える", false, 3));
    table.add(checkBox(UseNextTime, "次回からこの設定を使う", false, 4));
    table.add(checkBox(UseCurrentColour, "カレントカラーを使う", useCurrentColour, 5));
    table.add(button(1, "作成", 6));
    table.add(button(2, "取消", 6));

    const std::vector<ImageSize> list = sizes.sizes();
    table.onChange = [list, start](ControlTable& t, int id) {
        if (id == WidthEdit || id == HeightEdit) {
            const std::string digits = digitsOnly(t.text(id));
            if (digits != t.text(id))
                t.assignText(id, digits);
            const int value = editNumber(digits);
            if (value >= 1 && value <= NewImageSizes::MaxDimension) {
                // Only the bar moves: the edit keeps what was typed.
                const std::string typed = t.text(id);
                t.assignValue(id == WidthEdit ? WidthBar : HeightBar, value);
                t.assignText(id, typed);
            }
        } else if (id == Sizes) {
            const int item = t.value(Sizes);
            ImageSize size = start;
            if (item >= 1 && item <= static_cast<int>(list.size()))
                size = list[static_cast<std::size_t>(item - 1)];
            t.assignValue(WidthBar, size.width);
            t.assignValue(HeightBar, size.height);
        }
    };
    table.onButton = [](ControlTable& t, int id) {
        if (id == 1) {
            const int w = editNumber(t.text(WidthEdit));
            const int h = editNumber(t.text(HeightEdit));
            return NewImageSizes::valid(w, h) ? 1 : 0;
        }
        return id == 2 ? 2 : 0;
    };
    return table;
}

CellImagePtr RunNewImage(Ui& ui, NewImageSizes& sizes, Settings& settings, bool& useCurrentColour,
                         const ColourValue* palette, int currentColour) {
    using namespace newgraph;
    ControlTable table = NewGraphDialog(sizes, useCurrentColour);
    if (ui.runDialog(table) != 1)
        return nullptr;
    const ImageSize size{editNumber(table.text(WidthEdit)), editNumber(table.text(HeightEdit))};
    if (!NewImageSizes::valid(size.width, size.height))
        return nullptr;
    useCurrentColour = table.value(UseCurrentColour) != 0;
    if (table.value(UseNextTime))
        sizes.setDefault(size, settings);
    if (table.value(AddToList))
        sizes.add(size, settings);

    auto image = CellImage::Create(size.width, size.height, 8);
    if (!image || image->status() != status::Ok) {
        ui.messageBox("メモリー不足", "Celdos", MessageIcon::Information, MessageButtons::Ok);
        return nullptr;
    }
    if (palette)
        image->SetPalette(palette, 256);
    if (useCurrentColour)
        std::memset(image->pixels(), currentColour & 0xFF, image->imageSize());
    return image;
}

} // namespace celdo
