#include "history/UndoHistory.h"

#include "canvas/Canvas.h"
#include "canvas/MaskEdit.h"
#include "canvas/PasteCompose.h"
#include "canvas/ReplaceIndex.h"
#include "canvas/SoftDab.h"
#include "palette/PaletteOperations.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

using namespace celdo;

namespace {

// Everything a step may change on one picture, read out without the
// history's help: the picture's pixels, the mask as it protects (the view's
// bit 7 in mask edit mode), the view, the mode and the modified flag.
struct PictureState {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> picture;
    std::optional<std::vector<std::uint8_t>> mask;
    std::optional<std::vector<std::uint8_t>> view;
    bool maskMode = false;
    bool modified = false;
    std::vector<ColourValue> colours;
    bool operator==(const PictureState&) const = default;
};

// Names the first difference, so that a failure says what came back wrong.
std::string differenceOf(const PictureState& a, const PictureState& b) {
    if (a.width != b.width || a.height != b.height)
        return "size " + std::to_string(a.width) + "x" + std::to_string(a.height) + " vs " +
               std::to_string(b.width) + "x" + std::to_string(b.height);
    auto firstPixel = [&](const std::vector<std::uint8_t>& p, const std::vector<std::uint8_t>& q) {
        for (std::size_t i = 0; i < p.size() && i < q.size(); ++i)
            if (p[i] != q[i])
                return "(" + std::to_string(i % static_cast<std::size_t>(a.width)) + "," +
                       std::to_string(i / static_cast<std::size_t>(a.width)) + ") " +
                       std::to_string(p[i]) + " vs " + std::to_string(q[i]);
        return std::string("lengths");
    };
    if (a.picture != b.picture)
        return "picture " + firstPixel(a.picture, b.picture);
    if (a.mask.has_value() != b.mask.has_value())
        return a.mask ? "a mask where none was" : "no mask where one was";
    if (a.mask && *a.mask != *b.mask)
        return "mask " + firstPixel(*a.mask, *b.mask);
    if (a.view.has_value() != b.view.has_value())
        return "mask view present or not";
    if (a.view && *a.view != *b.view)
        return "view " + firstPixel(*a.view, *b.view);
    if (a.maskMode != b.maskMode)
        return "mask mode";
    if (a.modified != b.modified)
        return std::string("modified ") + (a.modified ? "set" : "clear");
    if (a.colours != b.colours)
        return "colours";
    return {};
}

void PrintTo(const PictureState& s, std::ostream* out) {
    *out << s.width << "x" << s.height << (s.maskMode ? " mask mode" : "")
         << (s.modified ? " modified" : "");
}

#define EXPECT_SAME(actual, expected)                                                              \
    do {                                                                                           \
        const auto& a_ = (actual);                                                                 \
        const auto& e_ = (expected);                                                               \
        ASSERT_EQ(a_.size(), e_.size());                                                           \
        for (std::size_t i_ = 0; i_ < a_.size(); ++i_)                                             \
            EXPECT_EQ(differenceOf(a_[i_], e_[i_]), "") << "picture " << i_;                       \
    } while (false)

std::vector<std::uint8_t> pixelsOf(const CellImage& plane, bool protectBitOnly = false) {
    std::vector<std::uint8_t> out;
    for (int y = 0; y < plane.height(); ++y)
        for (int x = 0; x < plane.width(); ++x) {
            const std::uint8_t v = plane.at(x, y);
            out.push_back(protectBitOnly ? ((v & 0x80) ? 0xFF : 0) : v);
        }
    return out;
}

PictureState stateOf(const PaintSurface& s) {
    PictureState state;
    state.width = s.picture->width();
    state.height = s.picture->height();
    state.picture = pixelsOf(*s.picture);
    if (s.maskMode) {
        state.mask = pixelsOf(*s.maskView, true);
        state.view = pixelsOf(*s.maskView);
    } else if (s.mask) {
        state.mask = pixelsOf(*s.mask);
    }
    EXPECT_TRUE(s.maskMode || !s.maskView) << "a mask view outside mask edit mode";
    state.maskMode = s.maskMode;
    state.modified = s.modified;
    state.colours.assign(s.picture->palette(), s.picture->palette() + 256);
    return state;
}

// A picture whose every pixel differs from its neighbours, in an odd width
// (rows padded), with the current colours.
CellImagePtr patterned(int width, int height, const PaletteSet& palette) {
    CellImagePtr picture = CellImage::Create(width, height, 8);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture->at(x, y) = static_cast<std::uint8_t>((x * 7 + y * 13) % 29);
    ApplyCurrentPalette(*picture, palette);
    return picture;
}

// Three open pictures of odd widths on one palette; the first has a mask
// protecting a band of columns.
class UndoSteps : public ::testing::Test {
protected:
    void SetUp() override {
        for (int i = 0; i < PaletteSet::GroupSize; ++i)
            palette.current()[i] = rgb(static_cast<unsigned>(i), static_cast<unsigned>(i / 2), 9);
        const int sizes[3][2] = {{37, 23}, {61, 19}, {3, 5}};
        for (int i = 0; i < 3; ++i) {
            canvases.push_back(std::make_unique<Canvas>(editing));
            canvases[i]->SetPicture(patterned(sizes[i][0], sizes[i][1], palette));
        }
        CellImagePtr mask = CellImage::Create(37, 23, 8);
        for (int y = 0; y < 23; ++y)
            for (int x = 10; x < 14; ++x)
                mask->at(x, y) = 0xFF;
        canvases[0]->surface().mask = std::move(mask);
        history.AcceptPalette();
        for (auto& c : canvases)
            lanes.push_back(history.Open(c->surface()));
        selection.drawColor = 28;
        brush.cells.fill(1);
        brush.updateExtent();
    }

    Canvas& canvas(int i = 0) { return *canvases[static_cast<std::size_t>(i)]; }
    PaintSurface& surface(int i = 0) { return canvas(i).surface(); }
    std::vector<PictureState> states() {
        std::vector<PictureState> all;
        for (auto& c : canvases)
            all.push_back(stateOf(c->surface()));
        return all;
    }
    std::vector<ColourValue> entries() {
        return std::vector<ColourValue>(palette.all(), palette.all() + PaletteSet::GroupCount *
                                                                           PaletteSet::GroupSize);
    }
    // A palette operation's message, handed to every picture as the main
    // window does, then one step over all of them.
    void broadcast(const std::optional<PaletteBroadcast>& message) {
        ASSERT_TRUE(message.has_value());
        for (auto& c : canvases)
            ApplyPaletteBroadcast(c->surface(), *message, palette);
        ASSERT_EQ(history.Commit(lanes, false, true), status::Ok);
    }

    // Runs `change`, then undoes, redoes and undoes it again on `lane`,
    // comparing every picture and the palette with the states before and
    // after, byte for byte.
    void roundTrip(const std::string& what, const std::function<void()>& change, int lane = -1) {
        SCOPED_TRACE(what);
        if (lane < 0)
            lane = current;
        const std::vector<PictureState> before = states();
        const std::vector<ColourValue> paletteBefore = entries();
        change();
        const std::vector<PictureState> after = states();
        const std::vector<ColourValue> paletteAfter = entries();
        ASSERT_TRUE(after != before || paletteAfter != paletteBefore) << "the change did nothing";
        ASSERT_TRUE(history.canUndo(lanes[static_cast<std::size_t>(lane)]));
        const Lane l = lanes[static_cast<std::size_t>(lane)];
        ASSERT_EQ(history.Undo(l).outcome, UndoHistory::Outcome::Done);
        EXPECT_SAME(states(), before);
        EXPECT_EQ(entries(), paletteBefore);
        ASSERT_EQ(history.Redo(l).outcome, UndoHistory::Outcome::Done);
        EXPECT_SAME(states(), after);
        EXPECT_EQ(entries(), paletteAfter);
        ASSERT_EQ(history.Undo(l).outcome, UndoHistory::Outcome::Done);
        EXPECT_SAME(states(), before);
        EXPECT_EQ(entries(), paletteBefore);
    }

    // A gesture on the current picture: its rectangles are touched and the
    // step compares only them, as the canvas window does.
    void gesture(const std::function<Rect()> paint, int i = -1) {
        if (i < 0)
            i = current;
        const Rect changed = paint();
        history.Touched(lanes[static_cast<std::size_t>(i)], changed);
        ASSERT_EQ(history.Commit(lanes[static_cast<std::size_t>(i)], true), status::Ok);
    }
    void command(const std::function<void()> change, int i = -1) {
        if (i < 0)
            i = current;
        change();
        ASSERT_EQ(history.Commit(lanes[static_cast<std::size_t>(i)]), status::Ok);
    }

    using Lane = UndoHistory::Lane;
    PaletteSet palette;
    ColourSelection selection;
    Brush brush;
    EditingState editing{selection, brush};
    std::vector<std::unique_ptr<Canvas>> canvases;
    UndoHistory history{palette};
    std::vector<Lane> lanes;
    // The picture gestures and commands go to unless told otherwise.
    int current = 0;
};

TEST_F(UndoSteps, EveryPaintingStepComesBackByteForByte) {
    // The first picture with its mask honoured and then disabled, and the
    // second, which has none.
    for (const auto& [i, masked] : {std::pair{0, true}, {0, false}, {1, false}}) {
        SCOPED_TRACE(i);
        current = i;
        surface(i).maskEnabled = masked;
        roundTrip("stroke", [&] { gesture([&] { return canvas(i).DabLine(2, 3, 30, 19); }); });
        roundTrip("dot brush at the edge", [&] {
            brush = Brush::dot();
            gesture([&] { return canvas(i).Dab(canvas(i).width() - 1, canvas(i).height() - 1); });
            brush.cells.fill(1);
            brush.updateExtent();
        });
        roundTrip("polyline", [&] {
            gesture([&] {
                return canvas(i).DabLine(0, 0, 36, 0).united(canvas(i).DabLine(36, 0, 5, 22));
            });
        });
        roundTrip("rectangle outline",
                  [&] { gesture([&] { return canvas(i).DrawRectOutline(1, 1, 35, 21); }); });
        roundTrip("filled rectangle", [&] {
            gesture([&] { return canvas(i).FillRect({4, 2, 33, 20}); });
        });
        roundTrip("ellipse",
                  [&] { gesture([&] { return canvas(i).DrawEllipseOutline(18, 11, 12, 7); }); });
        roundTrip("filled ellipse",
                  [&] { gesture([&] { return canvas(i).FillEllipse(3, 2, 33, 20, 18, 11); }); });
        roundTrip("soft dab", [&] {
            gesture([&] { return SoftDab(surface(i), 20, 10, brush, palette.current()); });
        });
        roundTrip("flood fill", [&] {
            gesture([&] {
                Rect changed;
                canvas(i).FloodFill(5, 5, &changed);
                return changed;
            });
        });
        roundTrip("flip", [&] { gesture([&] { return canvas(i).FlipHorizontal(0, 0, 36, 22); }); });
        roundTrip("flip up and down",
                  [&] { gesture([&] { return canvas(i).FlipVertical(3, 0, 20, 22); }); });
    }
}

TEST_F(UndoSteps, PasteAndSizeChangeComeBack) {
    roundTrip("paste with its own mask", [&] {
        CellImagePtr pasted = CellImage::Create(9, 7, 8);
        CellImagePtr pasteMask = CellImage::Create(9, 7, 8);
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < 9; ++x) {
                pasted->at(x, y) = static_cast<std::uint8_t>(100 + x + y);
                pasteMask->at(x, y) = (x + y) % 3 == 0 ? 1 : 0;
            }
        ComposedPaste composed;
        const PastePlacement placement{31, 18, 9, 7, false};
        ASSERT_EQ(Compose(surface(), *pasted, pasteMask.get(), placement, overlay::Plain,
                          palette.current(), composed),
                  status::Ok);
        command([&] { LayDown(surface(), composed); });
    });
    roundTrip("grown", [&] {
        command([&] { canvas().ChangeSize({3, 1, 4, 2}); });
        EXPECT_EQ(canvas().width(), 44);
    });
    roundTrip("cut", [&] { command([&] { canvas().ChangeSize({-5, -2, -1, 0}); }); });
    roundTrip(
        "no mask, grown",
        [&] {
            command([&] { canvas(1).ChangeSize({0, 0, 2, 2}); }, 1);
        },
        1);
}

TEST_F(UndoSteps, AStepCountsThePlaneItKeepsOnEitherSide) {
    // Grown to 1000 × 1000: the step keeps the small picture while done and
    // the big one while undone.
    command([&] { canvas(2).ChangeSize({0, 0, 997, 995}); }, 2);
    EXPECT_LT(history.stepBytes(), std::size_t{100000});
    ASSERT_EQ(history.Undo(lanes[2]).outcome, UndoHistory::Outcome::Done);
    EXPECT_GT(history.stepBytes(), std::size_t{1000000});
    ASSERT_EQ(history.Redo(lanes[2]).outcome, UndoHistory::Outcome::Done);
    EXPECT_LT(history.stepBytes(), std::size_t{100000});
}

TEST_F(UndoSteps, MaskEditsComeBack) {
    roundTrip("inverted", [&] { command([&] { InvertMask(surface()); }); });
    roundTrip("cleared", [&] { command([&] { ClearMask(surface()); }); });
    roundTrip(
        "first mask made", [&] { command([&] { InvertMask(surface(1)); }, 1); }, 1);

    // Mask edit mode: entering, painting the view, inverting and clearing
    // it, then committing by leaving.
    roundTrip("mask edit mode entered", [&] { command([&] { EnterMaskMode(surface()); }); });
    command([&] { EnterMaskMode(surface()); });
    editing.maskPaintValue = 1;
    roundTrip("mask painted", [&] { gesture([&] { return canvas().DabLine(0, 22, 36, 0); }); });
    gesture([&] { return canvas().DabLine(0, 22, 36, 0); });
    roundTrip("view inverted", [&] { command([&] { InvertMask(surface()); }); });
    roundTrip("view cleared", [&] { command([&] { ClearMask(surface()); }); });
    roundTrip("mask committed", [&] { command([&] { LeaveMaskMode(surface()); }); });

    // Undone back into mask edit mode and out of it again, then the mask
    // is what it was before the mode began.
    command([&] { LeaveMaskMode(surface()); });
    ASSERT_EQ(history.Undo(lanes[0]).outcome, UndoHistory::Outcome::Done); // leave
    EXPECT_TRUE(surface().maskMode);
    ASSERT_EQ(history.Undo(lanes[0]).outcome, UndoHistory::Outcome::Done); // painting
    ASSERT_EQ(history.Undo(lanes[0]).outcome, UndoHistory::Outcome::Done); // enter
    EXPECT_FALSE(surface().maskMode);
    EXPECT_FALSE(surface().maskView);
    for (int y = 0; y < 23; ++y)
        EXPECT_EQ(surface().mask->at(11, y), 0xFF);
    EXPECT_EQ(surface().mask->at(0, 22), 0);
    // Redone all the way: the committed mask again.
    for (int i = 0; i < 3; ++i)
        ASSERT_EQ(history.Redo(lanes[0]).outcome, UndoHistory::Outcome::Done);
    EXPECT_FALSE(surface().maskMode);
    EXPECT_EQ(surface().mask->at(0, 22), 0xFF);
}

TEST_F(UndoSteps, MaskCommittedForASaveInMaskModeDoesNotUpsetEarlierSteps) {
    command([&] { InvertMask(surface()); });
    const std::vector<std::uint8_t> inverted = *stateOf(surface()).mask;
    command([&] { EnterMaskMode(surface()); });
    editing.maskPaintValue = 0;
    gesture([&] { return canvas().FillRect({0, 0, 37, 23}); });
    // A save commits the view to the mask without a step of its own.
    CommitMaskView(surface());
    command([&] { LeaveMaskMode(surface()); });
    for (int i = 0; i < 3; ++i)
        ASSERT_EQ(history.Undo(lanes[0]).outcome, UndoHistory::Outcome::Done);
    EXPECT_EQ(*stateOf(surface()).mask, inverted);
    ASSERT_EQ(history.Undo(lanes[0]).outcome, UndoHistory::Outcome::Done);
    for (int y = 0; y < 23; ++y)
        for (int x = 0; x < 37; ++x)
            ASSERT_EQ(surface().mask->at(x, y), x >= 10 && x < 14 ? 0xFF : 0) << x << "," << y;
}

TEST_F(UndoSteps, PaletteOperationsComeBackInThePaletteAndEveryPicture) {
    selection.drawColor = 3;
    selection.dragTarget = 20;
    roundTrip("set colour", [&] { broadcast(SetEntry(palette, 3, rgb(1, 2, 3))); });
    roundTrip("delete", [&] { broadcast(DeleteEntry(palette, selection)); });
    roundTrip("copy", [&] { broadcast(CopyEntry(palette, selection)); });
    roundTrip(
        "swap", [&] { broadcast(SwapEntries(palette, selection, true)); }, 1);
    roundTrip(
        "swap of colours only", [&] { broadcast(SwapEntries(palette, selection, false)); }, 2);
    roundTrip("merge", [&] { broadcast(MergeEntry(palette, selection)); });
    roundTrip(
        "pixel merge", [&] { broadcast(PixelOnlyChange(selection, false)); }, 1);
    roundTrip("pixel swap (the mask keeps its pixels)",
              [&] { broadcast(PixelOnlyChange(selection, true)); });
    roundTrip("sort", [&] {
        broadcast(SortEntries(palette, 0, 40, SortMostUsedFirst, surface(1).picture.get()));
    });
    // The palette undone from its own lane as well.
    broadcast(MergeEntry(palette, selection));
    const std::vector<PictureState> merged = states();
    ASSERT_EQ(history.Undo(UndoHistory::PaletteLane).outcome, UndoHistory::Outcome::Done);
    ASSERT_EQ(history.Redo(UndoHistory::PaletteLane).outcome, UndoHistory::Outcome::Done);
    EXPECT_SAME(states(), merged);
}

TEST_F(UndoSteps, MergeIsUndoneOnThreePicturesThoughItCannotBeInverted) {
    // Index 5 merged into 6: pixels of both end up alike, and higher indices
    // move down, in all three pictures.
    const std::vector<PictureState> before = states();
    selection.drawColor = 5;
    selection.dragTarget = 6;
    broadcast(MergeEntry(palette, selection));
    for (int i = 0; i < 3; ++i)
        EXPECT_NE(states()[static_cast<std::size_t>(i)].picture,
                  before[static_cast<std::size_t>(i)].picture);
    ASSERT_EQ(history.Undo(lanes[2]).outcome, UndoHistory::Outcome::Done);
    EXPECT_SAME(states(), before);
}

TEST_F(UndoSteps, ASharedStepWaitsForTheOtherPicturesLaterSteps) {
    selection.drawColor = 3;
    selection.dragTarget = 4;
    const std::vector<PictureState> before = states();
    broadcast(SwapEntries(palette, selection, true));
    gesture([&] { return canvas(1).DabLine(0, 0, 60, 18); }, 1);

    UndoHistory::Result blocked = history.Undo(lanes[0]);
    EXPECT_EQ(blocked.outcome, UndoHistory::Outcome::Blocked);
    EXPECT_EQ(blocked.blockedBy, lanes[1]);
    EXPECT_EQ(history.Undo(UndoHistory::PaletteLane).outcome, UndoHistory::Outcome::Blocked);

    ASSERT_EQ(history.Undo(lanes[1]).outcome, UndoHistory::Outcome::Done);
    const UndoHistory::Result done = history.Undo(lanes[0]);
    ASSERT_EQ(done.outcome, UndoHistory::Outcome::Done);
    EXPECT_TRUE(done.paletteChanged);
    EXPECT_EQ(done.changed.size(), 3u);
    EXPECT_SAME(states(), before);

    // A new change in one picture drops the shared step's redo everywhere,
    // with the stroke undone before it.
    gesture([&] { return canvas(2).Dab(1, 1); }, 2);
    EXPECT_FALSE(history.canRedo(lanes[0]));
    EXPECT_FALSE(history.canRedo(lanes[1]));
    EXPECT_FALSE(history.canRedo(UndoHistory::PaletteLane));
}

// Files on disk that a set-wide operation rewrote, as a log of the moves.
struct LoggedAction : StepAction {
    explicit LoggedAction(std::vector<std::string>& log, bool fails = false)
        : log(log), fails(fails) {}
    bool Undo() override {
        log.push_back(fails ? "undo failed" : "undo");
        return !fails;
    }
    bool Redo() override {
        log.push_back("redo");
        return true;
    }
    std::size_t bytes() const override { return 1000; }
    std::vector<std::string>& log;
    bool fails;
};

TEST_F(UndoSteps, WorkOutsideThePicturesMovesWithItsStep) {
    std::vector<std::string> log;
    selection.drawColor = 3;
    selection.dragTarget = 4;
    const std::vector<PictureState> before = states();
    const std::optional<PaletteBroadcast> swap = SwapEntries(palette, selection, true);
    ASSERT_TRUE(swap.has_value());
    for (auto& c : canvases)
        ApplyPaletteBroadcast(c->surface(), *swap, palette);
    const std::vector<PictureState> swapped = states();
    ASSERT_EQ(history.CommitWithAction(lanes, std::make_unique<LoggedAction>(log), true),
              status::Ok);
    ASSERT_EQ(history.Undo(lanes[1]).outcome, UndoHistory::Outcome::Done);
    EXPECT_SAME(states(), before);
    ASSERT_EQ(history.Redo(UndoHistory::PaletteLane).outcome, UndoHistory::Outcome::Done);
    EXPECT_SAME(states(), swapped);
    EXPECT_EQ(log, (std::vector<std::string>{"undo", "redo"}));

    // Only the action: the step still lies on the palette's lane.
    ASSERT_EQ(history.CommitWithAction({}, std::make_unique<LoggedAction>(log, true), false),
              status::Ok);
    const std::vector<ColourValue> paletteNow = entries();
    const UndoHistory::Result failed = history.Undo(UndoHistory::PaletteLane);
    EXPECT_EQ(failed.outcome, UndoHistory::Outcome::ActionFailed);
    EXPECT_FALSE(failed.paletteChanged);
    EXPECT_SAME(states(), swapped);
    EXPECT_EQ(entries(), paletteNow);
    EXPECT_TRUE(history.canUndo(UndoHistory::PaletteLane));
    EXPECT_EQ(log.back(), "undo failed");
}

TEST_F(UndoSteps, PaletteLoadIsAStepOfThePaletteAlone) {
    const std::vector<ColourValue> before = entries();
    palette.group(4)[9] = rgb(200, 0, 0);
    palette.current()[0] = rgb(0, 200, 0);
    ASSERT_EQ(history.Commit(std::span<const UndoHistory::Lane>{}), status::Ok);
    EXPECT_FALSE(history.canUndo(lanes[0]));
    ASSERT_TRUE(history.canUndo(UndoHistory::PaletteLane));
    const UndoHistory::Result done = history.Undo(UndoHistory::PaletteLane);
    EXPECT_TRUE(done.paletteChanged);
    EXPECT_EQ(entries(), before);
    // The pictures show the group again.
    EXPECT_EQ(surface(1).picture->paletteEntry(0), before[0]);
    EXPECT_FALSE(surface(1).modified);
}

TEST_F(UndoSteps, ModifiedFollowsTheSavedStep) {
    auto stroke = [&](int x) { gesture([&] { return canvas().Dab(x, 5); }); };
    EXPECT_FALSE(surface().modified);
    stroke(2);
    EXPECT_TRUE(surface().modified);
    history.MarkSaved(lanes[0]);
    surface().modified = false;
    stroke(8);
    EXPECT_TRUE(surface().modified);
    history.Undo(lanes[0]);
    EXPECT_FALSE(surface().modified);
    history.Undo(lanes[0]);
    EXPECT_TRUE(surface().modified);
    history.Redo(lanes[0]);
    EXPECT_FALSE(surface().modified);
    history.Redo(lanes[0]);
    EXPECT_TRUE(surface().modified);
    // Entering mask edit mode is no change of the picture.
    history.Undo(lanes[0]);
    command([&] { EnterMaskMode(surface()); });
    EXPECT_FALSE(surface().modified);
    // Leaving again without a change to the mask: still the saved state.
    command([&] { LeaveMaskMode(surface()); });
    EXPECT_FALSE(surface().modified);
    stroke(20);
    history.Undo(lanes[0]);
    history.Undo(lanes[0]);
    history.Undo(lanes[0]);
    EXPECT_FALSE(surface().modified);
    history.Undo(lanes[0]);
    EXPECT_TRUE(surface().modified);
    // A new change below the saved state: it can never be reached again.
    stroke(30);
    while (history.canUndo(lanes[0]))
        history.Undo(lanes[0]);
    EXPECT_TRUE(surface().modified);
}

TEST_F(UndoSteps, ClosingDropsThePicturesStepsAndKeepsSharedOnes) {
    selection.drawColor = 3;
    selection.dragTarget = 4;
    const std::vector<PictureState> before = states();
    broadcast(SwapEntries(palette, selection, true));
    gesture([&] { return canvas(2).Dab(1, 1); }, 2);
    history.Close(lanes[2]);
    ASSERT_EQ(history.Undo(lanes[0]).outcome, UndoHistory::Outcome::Done);
    EXPECT_EQ(states()[0], before[0]);
    EXPECT_EQ(states()[1], before[1]);
    EXPECT_EQ(history.stepCount(), 1u);
}

TEST_F(UndoSteps, ACancelledGestureLeavesNothing) {
    const std::vector<PictureState> before = states();
    history.Touched(lanes[0], canvas().DabLine(0, 0, 36, 22));
    history.Discard(lanes[0]);
    EXPECT_EQ(states()[0].picture, before[0].picture);
    EXPECT_EQ(history.Commit(lanes[0], true), status::Ok);
    EXPECT_FALSE(history.canUndo(lanes[0]));
}

// A 4096 × 4096 picture painted with the full 16 × 16 brush.
struct UndoMemory : ::testing::Test {
    PaletteSet palette;
    ColourSelection selection;
    Brush brush = [] {
        Brush full;
        full.cells.fill(1);
        full.updateExtent();
        return full;
    }();
    EditingState editing{selection, brush};
    Canvas canvas{editing};
    UndoHistory history{palette};
    UndoHistory::Lane lane = 0;

    void SetUp() override { canvas.SetPicture(CellImage::Create(4096, 4096, 8)); }
    void open() { lane = history.Open(canvas.surface()); }
};

// A small bound: the oldest strokes go, the newest stay and come back
// exactly.
TEST_F(UndoMemory, StrokesOfABigPictureStayWithinTheBound) {
    history.setMemoryLimit(std::size_t{1} << 20);
    open();
    for (int i = 0; i < 200; ++i) {
        selection.drawColor = 1 + i % 200;
        const int y = 20 * i;
        history.Touched(lane, canvas.DabLine(10, y, 4000, y + 15));
        ASSERT_EQ(history.Commit(lane, true), status::Ok);
        ASSERT_LE(history.stepBytes(), history.memoryLimit());
    }
    EXPECT_LT(history.stepCount(), 200u);
    EXPECT_GT(history.stepCount(), 1u);
    const std::vector<std::uint8_t> last = pixelsOf(*canvas.picture());
    // Stroke i has colour 1 + i and crosses column 2000 about 8 rows below
    // its start.
    EXPECT_EQ(canvas.picture()->at(2000, 199 * 20 + 8), 200);
    ASSERT_EQ(history.Undo(lane).outcome, UndoHistory::Outcome::Done);
    EXPECT_EQ(canvas.picture()->at(2000, 199 * 20 + 8), 0);
    EXPECT_EQ(canvas.picture()->at(2000, 198 * 20 + 8), 199);
    ASSERT_EQ(history.Redo(lane).outcome, UndoHistory::Outcome::Done);
    EXPECT_EQ(pixelsOf(*canvas.picture()), last);

    // A fill of the whole picture is bigger than the bound: it stays as
    // the only step and is undone exactly.
    selection.drawColor = 250;
    Rect changed;
    ASSERT_EQ(canvas.FloodFill(4095, 0, &changed), status::Ok);
    ASSERT_EQ(history.Commit(lane), status::Ok);
    EXPECT_EQ(history.stepCount(), 1u);
    ASSERT_EQ(history.Undo(lane).outcome, UndoHistory::Outcome::Done);
    EXPECT_EQ(pixelsOf(*canvas.picture()), last);
    EXPECT_FALSE(history.canUndo(lane));
}

TEST_F(UndoMemory, DefaultBoundHoldsTwoHundredStrokes) {
    open();
    // Diagonals across the whole picture: each stroke's box is the whole
    // 16 MiB picture, its pixels about 4096 × 1.4 × 16 bytes.
    for (int i = 0; i < 200; ++i) {
        selection.drawColor = 1 + i % 200;
        history.Touched(lane, canvas.DabLine(0, i * 7, 4095, 4095 - i * 7));
        ASSERT_EQ(history.Commit(lane, true), status::Ok);
    }
    EXPECT_EQ(history.stepCount(), 200u);
    EXPECT_LE(history.stepBytes(), UndoHistory::DefaultMemoryLimit);
    EXPECT_LT(history.stepBytes(), std::size_t{200} << 20);
}

} // namespace
