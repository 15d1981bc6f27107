#include "app/ImageWindowDialogs.h"

#include "core/CellImage.h"

#include <cstdio>

namespace celdo {

namespace {

constexpr int NoId = -1;
constexpr int MaxSide = 4096;

std::string sizeText(const std::string& name, int width, int height) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "  (%d × %d)", width, height);
    return name + buffer;
}

// The margin bars allow any size from 1 to 4096 pixels along their side.
void setRanges(ControlTable& t, int width, int height) {
    using namespace imagedialog;
    for (int bar : {LeftBar, RightBar}) {
        t.setRange(bar, 1 - width, MaxSide - width);
        t.assignValue(bar, 0);
    }
    for (int bar : {TopBar, BottomBar}) {
        t.setRange(bar, 1 - height, MaxSide - height);
        t.assignValue(bar, 0);
    }
    t.refreshLabels();
}

} // namespace

ControlTable GraphInfoTable(const CellImage& picture) {
    ControlTable t;
    t.name = "GraphInfo0";
    t.title = "画像情報";
    char size[48];
    std::snprintf(size, sizeof size, "%d × %d", picture.width(), picture.height());
    char bits[24];
    std::snprintf(bits, sizeof bits, "%d bit", picture.bitsPerPixel());
    t.add(staticText(NoId, "サイズ：", 0));
    t.add(staticText(imagedialog::InfoSize, size, 0));
    t.add(staticText(NoId, "カラー：", 1));
    t.add(staticText(imagedialog::InfoColour, bits, 1));
    t.add(button(1, "OK", 2));
    return t;
}

ControlTable SizeChangeTable(const std::string& name, int width, int height,
                             SizeChangeActions actions) {
    using namespace imagedialog;
    ControlTable t;
    t.name = "SizeChange";
    t.title = "大きさの変更";
    t.add(staticText(SizeText, sizeText(name, width, height), 0));
    const struct {
        const char* label;
        int bar;
        int value;
        int extent;
    } sides[] = {{"左", LeftBar, LeftValue, width},
                 {"上", TopBar, TopValue, height},
                 {"右", RightBar, RightValue, width},
                 {"下", BottomBar, BottomValue, height}};
    int row = 1;
    for (const auto& side : sides) {
        t.add(staticText(NoId, side.label, row));
        t.add(scrollBar(side.bar, 1 - side.extent, MaxSide - side.extent, 10, 0, side.value, row));
        t.add(staticText(side.value, "0", row));
        ++row;
    }
    t.add(button(Apply, "設定", row));
    t.add(button(Propose, "調整", row));
    t.add(button(Update, "更新", row));
    t.add(button(Close, "終了", row));

    t.onButton = [name, actions](ControlTable& table, int id) -> int {
        switch (id) {
        case Apply:
        case Update: {
            const Margins m = SizeChangeMargins(table);
            if (m.isZero())
                return id == Apply ? Apply : 0;
            const auto size = actions.apply ? actions.apply(m) : std::nullopt;
            if (!size)
                return 0;
            if (id == Apply)
                return Apply;
            setRanges(table, size->first, size->second);
            table.assignText(SizeText, sizeText(name, size->first, size->second));
            return 0;
        }
        case Propose: {
            const auto m = actions.propose ? actions.propose() : std::nullopt;
            if (m) {
                table.assignValue(LeftBar, m->left);
                table.assignValue(TopBar, m->top);
                table.assignValue(RightBar, m->right);
                table.assignValue(BottomBar, m->bottom);
                table.refreshLabels();
            }
            return 0;
        }
        case Close:
            return Close;
        default:
            return 0;
        }
    };
    return t;
}

Margins SizeChangeMargins(const ControlTable& t) {
    using namespace imagedialog;
    return {t.value(LeftBar), t.value(TopBar), t.value(RightBar), t.value(BottomBar)};
}

} // namespace celdo
