#include "plugins/FilterHost.h"
#include "app/Settings.h"
#include "framework/ScriptedUi.h"
#include "plugins/PluginLibrary.h"
#include "plugins/PluginRegistry.h"
#include "plugins/PluginTestSupport.h"
#include "plugins/celdo_plugin.h"
#include "support/TestData.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

using namespace celdo;
using celdo::test::fixturePlugin;
using celdo::test::numberedPicture;

namespace {

std::vector<std::string> descriptions(const std::vector<FilterEntry>& list) {
    std::vector<std::string> names;
    for (const auto& entry : list)
        names.push_back(entry.description);
    return names;
}

const FilterEntry& entryNamed(const FilterLists& lists, const std::string& name) {
    for (const auto* list : {&lists.wholeImage, &lists.regionImage})
        for (const auto& entry : *list)
            if (entry.exportName == name)
                return entry;
    static FilterEntry none;
    ADD_FAILURE() << "no filter " << name;
    return none;
}

class FilterHost : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"fixture-kind1", "fixture-kind2"}) {
            auto plugin = CheckPlugin(fixturePlugin(name));
            ASSERT_TRUE(plugin) << name;
            registry.push_back(*plugin);
        }
        ASSERT_TRUE(BuildFilterLists(registry, lists));
        colours.drawColor = 17;
        colours.leftColor = 18;
        colours.rightColor = 19;
        colours.borderColor = 20;
        colours.toneIndex = 5;
        colours.paintKind = ColourSelection::Tile;
    }

    FilterOutcome run(const std::string& name, CellImage& image, CellImage* mask,
                      const Rect* region = nullptr) {
        const FilterEntry& entry = entryNamed(lists, name);
        return RunFilter(entry, registry[static_cast<std::size_t>(entry.plugin)], image, mask,
                         region, colours, this);
    }

    std::vector<RegisteredPlugin> registry;
    FilterLists lists;
    ColourSelection colours;
};

} // namespace

TEST(PluginRegistry, RegistrationCheck) {
    auto own = CheckPlugin(fixturePlugin("fixture-kind1"));
    ASSERT_TRUE(own);
    EXPECT_EQ(own->kind, 1);
    EXPECT_EQ(own->description, "Fixture one");
    auto outside = CheckPlugin(fixturePlugin("fixture-kind2"));
    ASSERT_TRUE(outside);
    EXPECT_EQ(outside->kind, 2);
    EXPECT_EQ(outside->description, "Outside filter");
    EXPECT_FALSE(CheckPlugin(fixturePlugin("fixture-none")));
    EXPECT_FALSE(CheckPlugin(fixturePlugin("no-such-library")));
    EXPECT_FALSE(CheckPlugin("cplugin.so")); // never searched on the library path
}

TEST(PluginRegistry, DefaultPluginWhenPlugin0IsMissing) {
    celdo::test::TempDir dir;
    Settings settings(dir.file("CELDO.INI"), "CELDOM");
    PluginRegistry registry;
    registry.read(settings, celdo::test::binaryDir());
    ASSERT_EQ(registry.plugins.size(), 1u);
    EXPECT_EQ(registry.plugins[0].path, celdo::test::deliveredPlugin());
    EXPECT_EQ(registry.plugins[0].description, "Filter for Celdo version 1.01");
    // Without the file beside the program the registry is empty.
    registry.read(settings, dir.path());
    EXPECT_TRUE(registry.plugins.empty());
}

TEST(PluginRegistry, ReadDropsNonPluginsAndWriteRoundTrips) {
    celdo::test::TempDir dir;
    Settings settings(dir.file("CELDO.INI"), "CELDOM");
    settings.writeString("Plugin0", fixturePlugin("fixture-kind2"));
    settings.writeString("Plugin1", fixturePlugin("fixture-none"));
    settings.writeString("Plugin2", fixturePlugin("fixture-kind1"));
    settings.writeString("Plugin4", fixturePlugin("fixture-kind1"));
    PluginRegistry registry;
    registry.read(settings, dir.path());
    ASSERT_EQ(registry.plugins.size(), 2u);
    EXPECT_EQ(registry.plugins[0].kind, 2);
    EXPECT_EQ(registry.plugins[1].kind, 1);

    registry.write(settings);
    Settings disk(dir.file("CELDO.INI"), "CELDOM");
    EXPECT_EQ(disk.readString("Plugin1"), fixturePlugin("fixture-kind1"));
    EXPECT_FALSE(disk.has("Plugin2"));

    // Unregistering everything deletes Plugin0: the default comes back.
    registry.plugins.clear();
    registry.write(settings);
    Settings after(dir.file("CELDO.INI"), "CELDOM");
    EXPECT_FALSE(after.has("Plugin0"));
    EXPECT_EQ(PluginRegistry::ReadPaths(after, celdo::test::binaryDir()),
              std::vector<std::string>{celdo::test::deliveredPlugin()});
}

TEST_F(FilterHost, ListsFollowCapabilityWordsInReverseOrder) {
    using V = std::vector<std::string>;
    EXPECT_EQ(descriptions(lists.wholeImage),
              (V{"Outside filter", "Recolour", "NewPicture", "BadHeader", "BadBlocks",
                 "FailAfterScribble", "Scribble"}));
    EXPECT_EQ(descriptions(lists.wholeMask), (V{"BadHeader", "Scribble"}));
    EXPECT_EQ(descriptions(lists.regionImage),
              (V{"Outside filter", "NewPictureBadMask", "NewPicture", "BadBlocks", "Scribble"}));
    EXPECT_EQ(descriptions(lists.regionMask), (V{"NewPicture", "Scribble"}));
    const FilterEntry& outside = lists.wholeImage.front();
    EXPECT_EQ(outside.exportName, "_DPFilter");
    EXPECT_EQ(outside.menuName, "Outside filter");
    EXPECT_EQ(outside.flags, 9u);
    EXPECT_EQ(outside.plugin, 1);
    EXPECT_EQ(&lists.list(true, true), &lists.regionMask);
}

TEST_F(FilterHost, FirstRecordNotOfferedContributesNothing) {
    auto hidden = CheckPlugin(fixturePlugin("fixture-hidden"));
    ASSERT_TRUE(hidden);
    FilterLists only;
    ASSERT_TRUE(BuildFilterLists({*hidden}, only));
    EXPECT_TRUE(only.wholeImage.empty());
    EXPECT_TRUE(only.regionImage.empty());
}

TEST_F(FilterHost, UnloadableLibraryKeepsTheOldLists) {
    auto broken = registry;
    broken.push_back({fixturePlugin("gone"), "gone", 1});
    ScriptedUi ui;
    EXPECT_FALSE(RebuildFilterLists(broken, lists, ui));
    EXPECT_EQ(lists.wholeImage.size(), 7u);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "メモリー不足");
    EXPECT_EQ(ui.messages[0].caption, "Celdos");
}

TEST_F(FilterHost, InPlaceRunFillsTheRequest) {
    // Held open so that the library's record of the call survives the run.
    celdo::PluginLibrary fixture(fixturePlugin("fixture-kind1"));
    auto image = numberedPicture(4, 3);
    auto mask = CellImage::Create(4, 3, 8);
    const FilterOutcome outcome = run("Scribble", *image, mask.get());
    EXPECT_EQ(outcome.result, 8u);
    EXPECT_FALSE(outcome.newImage);
    EXPECT_EQ(image->width(), 4); // the header the filter scribbled on is not taken
    EXPECT_EQ(image->at(3, 2), 0xAA);
    EXPECT_EQ(mask->at(0, 0), 0x55);

    auto last = fixture.function<const FilterRequest* (*)()>("FixtureLastRequest");
    ASSERT_NE(last, nullptr);
    const FilterRequest& r = *last();
    EXPECT_EQ(r.version, 256);
    EXPECT_EQ(r.flags, 0u);
    EXPECT_EQ(r.headerSize, 40);
    EXPECT_NE(r.maskInfo, nullptr);
    EXPECT_EQ(r.window, this);
    EXPECT_EQ(r.paintKind, 2);
    EXPECT_EQ(r.drawColor, 17);
    EXPECT_EQ(r.leftColor, 18);
    EXPECT_EQ(r.rightColor, 19);
    EXPECT_EQ(r.toneIndex, 5);
    EXPECT_EQ(r.borderColor, 20);
    EXPECT_EQ(r.reserved1, -1);
    EXPECT_EQ(r.reserved2, 0);
}

TEST_F(FilterHost, RegionRun) {
    auto image = numberedPicture(4, 3);
    const Rect region{1, 1, 3, 2};
    EXPECT_EQ(run("Scribble", *image, nullptr, &region).result, 9u);
    EXPECT_EQ(image->at(1, 1), 0xAA);
    EXPECT_EQ(image->at(2, 1), 0xAA);
    EXPECT_EQ(image->at(3, 1), 13);
    EXPECT_EQ(image->at(1, 0), 1);
    EXPECT_EQ(image->at(1, 2), 21);

    // Regions are clipped to the picture; an empty one runs nothing.
    const Rect outside{-5, -5, 2, 1};
    EXPECT_EQ(run("Scribble", *image, nullptr, &outside).result, 9u);
    EXPECT_EQ(image->at(0, 0), 0xAA);
    EXPECT_EQ(image->at(2, 0), 2);
    const Rect empty{10, 10, 12, 12};
    EXPECT_EQ(run("Scribble", *image, nullptr, &empty).result, 0u);
}

TEST_F(FilterHost, FailingFilterLeavesEverythingAsItWas) {
    auto image = numberedPicture(5, 4);
    auto mask = CellImage::Create(5, 4, 8);
    mask->at(2, 2) = 1;
    auto before = image->Duplicate();
    auto maskBefore = mask->Duplicate();
    EXPECT_EQ(run("FailAfterScribble", *image, mask.get()).result, 0u);
    EXPECT_TRUE(image->samePixels(*before));
    EXPECT_TRUE(mask->samePixels(*maskBefore));
    EXPECT_EQ(image->paletteEntry(0), before->paletteEntry(0));
    EXPECT_EQ(image->colorTable()[0], before->colorTable()[0]);
}

TEST_F(FilterHost, ReturnedBlocksThatDescribeNoPictureAreRefused) {
    auto image = numberedPicture(4, 4);
    auto before = image->Duplicate();
    for (const char* name : {"BadBlocks", "BadHeader"}) {
        const FilterOutcome outcome = run(name, *image, nullptr);
        EXPECT_EQ(outcome.result, 0u) << name;
        EXPECT_FALSE(outcome.newImage) << name;
        EXPECT_TRUE(image->samePixels(*before)) << name;
    }
}

TEST_F(FilterHost, ReturnedHeaderWithHugePlanesTimesBitsIsRefused) {
    celdo::PluginLibrary fixture(fixturePlugin("fixture-kind1"));
    auto setHuge = fixture.function<void (*)(int)>("FixtureSetHugeDepth");
    ASSERT_TRUE(setHuge);
    setHuge(1);
    auto image = numberedPicture(4, 4);
    auto before = image->Duplicate();
    const FilterOutcome outcome = run("BadHeader", *image, nullptr);
    setHuge(0);
    EXPECT_EQ(outcome.result, 0u);
    EXPECT_FALSE(outcome.newImage);
    EXPECT_TRUE(image->samePixels(*before));
}

TEST_F(FilterHost, NewPictureIsHandedOver) {
    auto image = numberedPicture(4, 4);
    auto before = image->Duplicate();
    FilterOutcome outcome = run("NewPicture", *image, nullptr);
    EXPECT_EQ(outcome.result, 12u);
    ASSERT_TRUE(outcome.newImage);
    EXPECT_EQ(outcome.newImage->width(), 3);
    EXPECT_EQ(outcome.newImage->height(), 2);
    EXPECT_EQ(outcome.newImage->at(2, 1), 5);
    EXPECT_EQ(outcome.newImage->paletteEntry(1), rgb(255, 0, 0));
    ASSERT_TRUE(outcome.newMask);
    EXPECT_EQ(outcome.newMask->at(0, 0), 9);
    EXPECT_TRUE(image->samePixels(*before));

    outcome = run("NewPictureBadMask", *image, nullptr);
    EXPECT_EQ(outcome.result, 12u);
    EXPECT_TRUE(outcome.newImage);
    EXPECT_FALSE(outcome.newMask);
}

TEST_F(FilterHost, ColourTableChangeReachesThePalette) {
    auto image = numberedPicture(4, 4);
    auto before = image->Duplicate();
    EXPECT_EQ(run("Recolour", *image, nullptr).result, 10u);
    EXPECT_EQ(image->paletteEntry(0), rgb(3, 2, 1));
    EXPECT_EQ(image->paletteEntry(1), before->paletteEntry(1));
    EXPECT_TRUE(image->samePixels(*before));
}

TEST_F(FilterHost, OutsideFilterWorksInPlace) {
    celdo::PluginLibrary fixture(fixturePlugin("fixture-kind2"));
    auto setSetup = fixture.function<void (*)(int)>("FixtureSetSetupAnswer");
    auto setRecolour = fixture.function<void (*)(int)>("FixtureSetRecolour");
    auto last = fixture.function<const DPFilterRecord* (*)()>("FixtureLastRecord");
    auto calls = fixture.function<int (*)()>("FixtureCalls");
    ASSERT_TRUE(setSetup && setRecolour && last && calls);

    auto image = numberedPicture(4, 3);
    EXPECT_EQ(run("_DPFilter", *image, nullptr).result, 8u);
    EXPECT_EQ(image->at(0, 0), 1);
    EXPECT_EQ(image->at(3, 2), 24);
    const DPFilterRecord& r = *last();
    EXPECT_EQ(r.size, sizeof(DPFilterRecord));
    EXPECT_EQ(r.sourceInfo, r.destinationInfo);
    EXPECT_EQ(r.sourceBits, r.destinationBits);
    EXPECT_EQ(r.flags, 0u);
    EXPECT_EQ(r.window, this);
    EXPECT_EQ(r.leftColor, 18);
    EXPECT_EQ(r.rightColor, 19);
    EXPECT_EQ(r.borderColor, 20);
    EXPECT_EQ(r.toneIndex, 5);
    EXPECT_EQ(r.width, 4);
    EXPECT_EQ(r.height, 3);

    const Rect region{2, 0, 4, 1};
    colours.paintKind = ColourSelection::Tone;
    EXPECT_EQ(run("_DPFilter", *image, nullptr, &region).result, 9u);
    EXPECT_EQ(last()->flags, 0x10u);
    EXPECT_EQ(last()->toneIndex, 0);
    EXPECT_EQ(image->at(2, 0), 4);
    EXPECT_EQ(image->at(1, 0), 2);

    setRecolour(1);
    const ColourValue old5 = image->paletteEntry(5);
    EXPECT_EQ(run("_DPFilter", *image, nullptr).result, 10u);
    EXPECT_EQ(image->paletteEntry(5), old5 ^ 0xFF0000u); // blue is the first table byte
    setRecolour(0);

    const int before = calls();
    setSetup(0);
    auto copy = image->Duplicate();
    EXPECT_EQ(run("_DPFilter", *image, nullptr).result, 0u);
    EXPECT_EQ(calls(), before);
    EXPECT_TRUE(image->samePixels(*copy));
    setSetup(1);
}

TEST_F(FilterHost, MaskOfAnotherSizeRunsNothing) {
    auto image = numberedPicture(4, 3);
    auto mask = CellImage::Create(3, 3, 8);
    EXPECT_EQ(run("Scribble", *image, mask.get()).result, 0u);
    EXPECT_EQ(image->at(0, 0), 0);
}

TEST(ReturnedPicture, BlocksAreMeasuredBeforeTheyAreTaken) {
    // A 16 × 16 picture of 8 bits: 16-byte rows, 256 bytes of pixels, and an
    // information block of the 40-byte header and 256 colour entries.  The
    // short blocks are far short, as the allocator may round sizes up.
    const auto info = [](std::size_t entries) {
        void* block = std::calloc(1, 40 + 4 * entries);
        BitmapInfoHeader header;
        header.width = 16;
        header.height = 16;
        header.bitCount = 8;
        std::memcpy(block, &header, sizeof header);
        const std::uint8_t blueGreenRed[3] = {0x30, 0x20, 0x10};
        std::memcpy(static_cast<std::uint8_t*>(block) + 40 + 4, blueGreenRed, 3);
        return block;
    };
    const auto pixels = [](std::size_t bytes) {
        void* block = std::malloc(bytes);
        std::memset(block, 7, bytes);
        return block;
    };
    CellImagePtr taken = AdoptReturnedPicture(info(256), pixels(256));
    ASSERT_TRUE(taken);
    EXPECT_EQ(taken->width(), 16);
    EXPECT_EQ(taken->height(), 16);
    EXPECT_EQ(taken->bitsPerPixel(), 8);
    EXPECT_EQ(taken->at(15, 15), 7);
    EXPECT_EQ(taken->paletteEntry(1), rgb(0x10, 0x20, 0x30));

    EXPECT_FALSE(AdoptReturnedPicture(info(256), pixels(128)));
    EXPECT_FALSE(AdoptReturnedPicture(info(64), pixels(256)));
    EXPECT_FALSE(AdoptReturnedPicture(nullptr, pixels(256)));
}
