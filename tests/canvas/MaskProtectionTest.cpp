// Every writer of picture or mask view pixels against one mask pattern, with
// the mask enabled, disabled and in mask edit mode.  The expected pixels
// follow from the rules each writer is meant to keep, worked out here from
// the starting pictures, not from the writers' results.

#include "app/AppState.h"
#include "app/FilterCommands.h"
#include "canvas/CanvasTestSupport.h"
#include "canvas/MaskEdit.h"
#include "canvas/MaskGate.h"
#include "canvas/PasteCompose.h"
#include "canvas/ReplaceIndex.h"
#include "canvas/SoftDab.h"
#include "canvas/ToolGestures.h"
#include "plugins/PluginRegistry.h"
#include "plugins/PluginTestSupport.h"
#include "plugins/celdo_plugin.h"
#include "support/TestData.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace celdo;

namespace {

constexpr int Size = 8;
constexpr std::uint8_t Background = 3;
constexpr std::uint8_t DrawColour = 5;

enum class Case { MaskEnabled, MaskDisabled, MaskEditMode };

const char* caseName(Case c) {
    switch (c) {
    case Case::MaskEnabled:
        return "mask enabled";
    case Case::MaskDisabled:
        return "mask disabled";
    case Case::MaskEditMode:
        return "mask edit mode";
    }
    return "";
}

// Every third diagonal is protected, with mask bytes 1, 0x80 and 0xFF: any
// non-zero byte protects.
std::uint8_t maskByte(int x, int y) {
    static constexpr std::array<std::uint8_t, 3> levels{1, 0x80, 0xFF};
    return (x + y) % 3 == 0 ? levels[static_cast<std::size_t>(x % 3)] : 0;
}

// Distinct values with zeros on the diagonal (for the underlay paste).
std::uint8_t numbered(int x, int y) {
    return x == y ? 0 : static_cast<std::uint8_t>(10 + x + 8 * y);
}

// The paste source: index 0 (transparent in the overlay paste) in even
// columns.
std::uint8_t pasteSource(int x, int y) {
    return x % 2 == 0 ? 0 : static_cast<std::uint8_t>(100 + x + 8 * y);
}

enum class Start { Uniform, Numbered };

std::uint8_t startValue(Start start, int x, int y) {
    return start == Start::Uniform ? Background : numbered(x, y);
}

// What a writer does in mask edit mode.
enum class InMaskMode { PaintsTheView, WritesThePicture, LeavesThePicture };

// The plug-ins for the copy-back rows: the fixture's Scribble (own
// interface, handed the mask) and its outside filter (never sees the mask).
struct FilterRig {
    test::TempDir dir;
    std::unique_ptr<AppState> app;
    FilterState filters;
    FilterEntry scribble;
    FilterEntry outside;

    FilterRig() {
        ::setenv("CELDO_INI", dir.file("CELDO.INI").c_str(), 1);
        app = std::make_unique<AppState>(FrameVariant::MultipleDocument, dir.path());
        for (const char* name : {"fixture-kind1", "fixture-kind2"})
            if (auto plugin = CheckPlugin(test::fixturePlugin(name)))
                filters.registry.plugins.push_back(*plugin);
        BuildFilterLists(filters.registry.plugins, filters.lists);
        for (const FilterEntry& entry : filters.lists.wholeImage) {
            if (entry.exportName == "Scribble")
                scribble = entry;
            if (entry.exportName == CELDO_EXPORT_DP_FILTER)
                outside = entry;
        }
    }
    bool ready() const { return !scribble.exportName.empty() && !outside.exportName.empty(); }
};

struct Scene {
    celdo::testing::CanvasFixture fixture{Size, Size, Background};
    FilterRig* rig = nullptr;

    Canvas& canvas() { return fixture.canvas; }
    PaintSurface& surface() { return fixture.canvas.surface(); }
    // Press at `from`, move to `to` and release there with `tool` current.
    void drag(int tool, Point from, Point to) {
        fixture.state.currentTool = tool;
        HandleMouse(canvas(), {MouseEvent::LeftPress, from, true});
        HandleMouse(canvas(), {MouseEvent::Move, to, true});
        HandleMouse(canvas(), {MouseEvent::LeftRelease, to, false});
    }
    void runFilter(const FilterEntry& entry, const Rect* region) {
        Rect copy = region ? *region : Rect{};
        RunChosenFilter(surface(), *rig->app, rig->filters, entry, region ? &copy : nullptr);
    }
};

struct Writer {
    const char* name;
    // The rule the writer keeps (stated here, not asked of the writer).
    MaskPolicy policy;
    Start start;
    InMaskMode inMaskMode;
    std::function<void(Scene&)> write;
    // Whether the write reaches picture (or mask view) pixel (x, y).
    std::function<bool(int, int)> reaches;
    // The picture value of a reached pixel the mask does not protect.
    std::function<int(int, int, Case)> painted;
    // Mask edit mode, PaintsTheView: bit 7 of a reached view pixel.
    std::function<bool(int, int)> viewBit = [](int, int) { return true; };
};

bool everywhere(int, int) {
    return true;
}

int drawColour(int, int, Case) {
    return DrawColour;
}

bool protects(MaskPolicy policy, Case c, int x, int y) {
    if (maskByte(x, y) == 0 || policy == MaskPolicy::Ignore)
        return false;
    return c != Case::MaskDisabled || policy == MaskPolicy::HonourEvenWhenDisabled;
}

// The soft dab square: brush cells 6 … 9 both ways, image 2 … 5 at (4, 4).
Brush squareBrush() {
    Brush b;
    for (int y = 6; y < 10; ++y)
        for (int x = 6; x < 10; ++x)
            b.cells[static_cast<std::size_t>(y * 16 + x)] = 1;
    b.updateExtent();
    return b;
}

bool inSquare(int x, int y) {
    return x >= 2 && x <= 5 && y >= 2 && y <= 5;
}

// Over a grey ramp the dab lays the exact average index of the pixels it
// may repaint.
int softDabAverage(int, int, Case c) {
    int sum = 0, count = 0;
    for (int y = 2; y <= 5; ++y)
        for (int x = 2; x <= 5; ++x)
            if (!protects(MaskPolicy::HonourWhenEnabled, c, x, y)) {
                sum += numbered(x, y);
                ++count;
            }
    return sum / count;
}

std::array<ColourValue, 256> greyRamp() {
    std::array<ColourValue, 256> group{};
    for (unsigned i = 0; i < 256; ++i)
        group[i] = rgb(i, i, i);
    return group;
}

Writer paste(const char* name, int mode, std::function<int(int, int)> result) {
    return {name,
            MaskPolicy::HonourWhenEnabled,
            Start::Numbered,
            InMaskMode::WritesThePicture,
            [mode](Scene& s) {
                auto source = CellImage::Create(Size, Size, 8);
                for (int y = 0; y < Size; ++y)
                    for (int x = 0; x < Size; ++x)
                        source->at(x, y) = pasteSource(x, y);
                ComposedPaste composed;
                ASSERT_EQ(Compose(s.surface(), *source, nullptr, {0, 0, Size, Size, false}, mode,
                                  nullptr, composed),
                          status::Ok);
                LayDown(s.surface(), composed);
            },
            everywhere,
            [result](int x, int y, Case) { return result(x, y); }};
}

const Rect FilterRegion{1, 1, 5, 4};

bool inFilterRegion(int x, int y) {
    return FilterRegion.contains(x, y);
}

std::vector<Writer> writers() {
    std::vector<Writer> all;
    all.push_back({"Dab with the full brush", MaskPolicy::HonourWhenEnabled, Start::Uniform,
                   InMaskMode::PaintsTheView,
                   [](Scene& s) {
                       s.fixture.fullBrush();
                       s.canvas().Dab(4, 4);
                   },
                   everywhere, drawColour});
    all.push_back({"line of dot dabs", MaskPolicy::HonourWhenEnabled, Start::Uniform,
                   InMaskMode::PaintsTheView, [](Scene& s) { s.canvas().DabLine(1, 1, 6, 6); },
                   [](int x, int y) { return x == y && x >= 1 && x <= 6; }, drawColour});
    all.push_back(
        {"rectangle outline", MaskPolicy::HonourWhenEnabled, Start::Uniform,
         InMaskMode::PaintsTheView, [](Scene& s) { s.canvas().DrawRectOutline(1, 2, 6, 5); },
         [](int x, int y) {
             return x >= 1 && x <= 6 && y >= 2 && y <= 5 && (x == 1 || x == 6 || y == 2 || y == 5);
         },
         drawColour});
    all.push_back({"ellipse outline with the full brush", MaskPolicy::HonourWhenEnabled,
                   Start::Uniform, InMaskMode::PaintsTheView,
                   [](Scene& s) {
                       s.fixture.fullBrush();
                       s.canvas().DrawEllipseOutline(4, 4, 2, 1);
                   },
                   everywhere, drawColour});
    all.push_back({"filled rectangle", MaskPolicy::HonourWhenEnabled, Start::Uniform,
                   InMaskMode::PaintsTheView,
                   [](Scene& s) {
                       s.canvas().FillRect({1, 2, 7, 6});
                   },
                   [](int x, int y) { return x >= 1 && x < 7 && y >= 2 && y < 6; }, drawColour});
    all.push_back({"filled ellipse over the picture", MaskPolicy::HonourWhenEnabled, Start::Uniform,
                   InMaskMode::PaintsTheView,
                   [](Scene& s) { s.canvas().FillEllipse(-20, -20, 27, 27, 4, 4); }, everywhere,
                   drawColour});
    all.push_back({"tile pattern", MaskPolicy::HonourWhenEnabled, Start::Uniform,
                   InMaskMode::PaintsTheView,
                   [](Scene& s) {
                       s.fixture.selection.paintKind = ColourSelection::Tile;
                       for (int i = 0; i < 256; ++i)
                           s.fixture.selection.tilePattern[static_cast<std::size_t>(i)] =
                               static_cast<std::uint8_t>(20 + i % 16 + i / 16);
                       s.canvas().FillRect({0, 0, Size, Size});
                   },
                   everywhere, [](int x, int y, Case) { return 20 + x + y; }});
    // The same through the mouse, as the window hands it over (1:1 zoom).
    all.push_back({"freehand tool", MaskPolicy::HonourWhenEnabled, Start::Uniform,
                   InMaskMode::PaintsTheView,
                   [](Scene& s) {
                       s.fixture.fullBrush();
                       s.drag(tool::Freehand, {4, 4}, {4, 4});
                   },
                   everywhere, drawColour});
    all.push_back({"filled rectangle tool", MaskPolicy::HonourWhenEnabled, Start::Uniform,
                   InMaskMode::PaintsTheView,
                   [](Scene& s) {
                       s.drag(tool::RectFill, {1, 2}, {6, 5});
                   },
                   [](int x, int y) { return x >= 1 && x <= 6 && y >= 2 && y <= 5; }, drawColour});
    all.push_back({"flip tool", MaskPolicy::Ignore, Start::Numbered, InMaskMode::WritesThePicture,
                   [](Scene& s) {
                       s.drag(tool::FlipLeftRight, {0, 0}, {Size - 1, Size - 1});
                   },
                   everywhere, [](int x, int y, Case) { return numbered(Size - 1 - x, y); }});
    // The fill paints every pixel it reaches, whatever the mask.
    all.push_back({"flood fill", MaskPolicy::Ignore, Start::Uniform, InMaskMode::PaintsTheView,
                   [](Scene& s) { s.canvas().FloodFill(0, 0); }, everywhere, drawColour});
    all.push_back({"soft dab (water drop, blur brush)", MaskPolicy::HonourWhenEnabled,
                   Start::Numbered, InMaskMode::PaintsTheView,
                   [](Scene& s) {
                       const auto group = greyRamp();
                       SoftDab(s.surface(), 4, 4, squareBrush(), group.data());
                   },
                   inSquare, softDabAverage,
                   // 5 of the 16 view pixels under the square are protected
                   // ((2,4) (3,3) (4,2) (4,5) (5,4)): density 5 × 255 / 16 =
                   // 79, the sparse pattern on odd columns of odd rows.
                   [](int x, int y) { return (x & 1) && (y & 1); }});
    all.push_back(paste("paste, plain", overlay::Plain, pasteSource));
    all.push_back(paste("paste, over", overlay::Over, [](int x, int y) {
        return pasteSource(x, y) == 0 ? numbered(x, y) : pasteSource(x, y);
    }));
    all.push_back(paste("paste, under", overlay::Under, [](int x, int y) {
        return numbered(x, y) != 0 ? numbered(x, y) : pasteSource(x, y);
    }));
    all.push_back({"index replacement", MaskPolicy::HonourEvenWhenDisabled, Start::Uniform,
                   InMaskMode::WritesThePicture,
                   [](Scene& s) { ReplaceIndex(s.surface(), Background, 9, false); }, everywhere,
                   [](int, int, Case) { return 9; }});
    // Both flips move pixels and paint none: the mask does not hold them.
    all.push_back({"flip left to right", MaskPolicy::Ignore, Start::Numbered,
                   InMaskMode::WritesThePicture,
                   [](Scene& s) { s.canvas().FlipHorizontal(0, 0, Size - 1, Size - 1); },
                   everywhere, [](int x, int y, Case) { return numbered(Size - 1 - x, y); }});
    all.push_back({"flip upside down", MaskPolicy::Ignore, Start::Numbered,
                   InMaskMode::WritesThePicture,
                   [](Scene& s) { s.canvas().FlipVertical(0, 1, Size - 1, 6); },
                   [](int, int y) { return y >= 1 && y <= 6; },
                   [](int x, int y, Case) { return numbered(x, 7 - y); }});
    // A filter of the own interface is handed the mask; Scribble ignores it
    // and its result is taken whole.  In mask edit mode filters work on the
    // mask plane and leave the picture alone.
    all.push_back({"own filter copy-back, whole picture", MaskPolicy::Ignore, Start::Numbered,
                   InMaskMode::LeavesThePicture,
                   [](Scene& s) { s.runFilter(s.rig->scribble, nullptr); }, everywhere,
                   [](int, int, Case) { return 0xAA; }});
    all.push_back({"own filter copy-back, region", MaskPolicy::Ignore, Start::Numbered,
                   InMaskMode::LeavesThePicture,
                   [](Scene& s) { s.runFilter(s.rig->scribble, &FilterRegion); }, inFilterRegion,
                   [](int, int, Case) { return 0xAA; }});
    // The outside filter adds 1 to every pixel it is given, mask or not.
    all.push_back({"outside filter copy-back, whole picture", MaskPolicy::HonourWhenEnabled,
                   Start::Numbered, InMaskMode::LeavesThePicture,
                   [](Scene& s) { s.runFilter(s.rig->outside, nullptr); }, everywhere,
                   [](int x, int y, Case) { return numbered(x, y) + 1; }});
    all.push_back({"outside filter copy-back, region", MaskPolicy::HonourWhenEnabled,
                   Start::Numbered, InMaskMode::LeavesThePicture,
                   [](Scene& s) { s.runFilter(s.rig->outside, &FilterRegion); }, inFilterRegion,
                   [](int x, int y, Case) { return numbered(x, y) + 1; }});
    return all;
}

struct Mismatch {
    const char* plane;
    int x, y, actual, expected;
};

// One failure per writer and plane, so that every writer that breaks the
// rule is named.
void report(const std::vector<Mismatch>& wrong) {
    if (wrong.empty())
        return;
    const Mismatch& first = wrong.front();
    ADD_FAILURE() << wrong.size() << " pixel(s) wrong; first: " << first.plane << " at " << first.x
                  << "," << first.y << " is " << first.actual << ", expected " << first.expected;
}

class MaskProtection : public ::testing::TestWithParam<Case> {
protected:
    static void SetUpTestSuite() { rig = new FilterRig; }
    static void TearDownTestSuite() {
        delete rig;
        rig = nullptr;
    }
    static FilterRig* rig;
};

FilterRig* MaskProtection::rig = nullptr;

} // namespace

TEST_P(MaskProtection, EveryWriterKeepsProtectedPixelsByteIdentical) {
    ASSERT_TRUE(rig->ready());
    const Case c = GetParam();
    for (const Writer& writer : writers()) {
        SCOPED_TRACE(std::string(writer.name) + ", " + caseName(c));
        Scene scene;
        scene.rig = rig;
        PaintSurface& s = scene.surface();
        for (int y = 0; y < Size; ++y)
            for (int x = 0; x < Size; ++x)
                s.picture->at(x, y) = startValue(writer.start, x, y);
        scene.fixture.addMask();
        for (int y = 0; y < Size; ++y)
            for (int x = 0; x < Size; ++x)
                s.mask->at(x, y) = maskByte(x, y);
        s.maskEnabled = c != Case::MaskDisabled;
        if (c == Case::MaskEditMode) {
            EnterMaskMode(s);
            ASSERT_TRUE(s.maskMode && s.maskView);
            scene.fixture.state.maskPaintValue = 1;
        }
        const CellImagePtr viewBefore = s.maskView ? s.maskView->Duplicate() : nullptr;

        writer.write(scene);

        const bool paintsView =
            c == Case::MaskEditMode && writer.inMaskMode == InMaskMode::PaintsTheView;
        const bool leavesPicture =
            paintsView ||
            (c == Case::MaskEditMode && writer.inMaskMode == InMaskMode::LeavesThePicture);
        std::vector<Mismatch> wrong;
        int protectedSeen = 0, paintedSeen = 0;
        for (int y = 0; y < Size; ++y)
            for (int x = 0; x < Size; ++x) {
                const int before = startValue(writer.start, x, y);
                int expected = before;
                if (!leavesPicture && writer.reaches(x, y)) {
                    if (protects(writer.policy, c, x, y))
                        ++protectedSeen;
                    else {
                        expected = writer.painted(x, y, c);
                        paintedSeen += expected != before;
                    }
                }
                if (s.picture->at(x, y) != expected)
                    wrong.push_back(Mismatch{"picture", x, y, s.picture->at(x, y), expected});
            }
        if (!leavesPicture) {
            EXPECT_GT(paintedSeen, 0) << "the write must change some pixel";
        }
        if (!leavesPicture && writer.policy != MaskPolicy::Ignore &&
            (c != Case::MaskDisabled || writer.policy == MaskPolicy::HonourEvenWhenDisabled)) {
            EXPECT_GT(protectedSeen, 0) << "the write must reach some protected pixel";
        }

        if (c != Case::MaskEditMode || writer.inMaskMode == InMaskMode::LeavesThePicture) {
            report(wrong);
            continue;
        }
        for (int y = 0; y < Size; ++y)
            for (int x = 0; x < Size; ++x) {
                const int was = viewBefore->at(x, y);
                int expected = was;
                if (paintsView && writer.reaches(x, y))
                    expected = (was & 0x7F) | (writer.viewBit(x, y) ? 0x80 : 0);
                if (s.maskView->at(x, y) != expected)
                    wrong.push_back(Mismatch{"mask view", x, y, s.maskView->at(x, y), expected});
            }
        report(wrong);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, MaskProtection,
                         ::testing::Values(Case::MaskEnabled, Case::MaskDisabled,
                                           Case::MaskEditMode),
                         [](const ::testing::TestParamInfo<Case>& info) {
                             switch (info.param) {
                             case Case::MaskEnabled:
                                 return std::string("MaskEnabled");
                             case Case::MaskDisabled:
                                 return std::string("MaskDisabled");
                             case Case::MaskEditMode:
                                 return std::string("MaskEditMode");
                             }
                             return std::string();
                         });
