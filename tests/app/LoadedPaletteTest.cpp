#include "app/LoadSaveDispatch.h"
#include "app/LoadedImage.h"
#include "core/CellImage.h"
#include "core/Colour.h"

#include <gtest/gtest.h>

#include <array>

using namespace celdo;

namespace {

constexpr ColourValue Grey = rgb(9, 9, 9);
constexpr ColourValue Own = rgb(1, 2, 3);

// A picture whose entry 5 is its own colour, from `file` ("" for none).
LoadedImage pictureFrom(const char* file) {
    LoadedImage loaded;
    loaded.picture = CellImage::Create(2, 2, 8);
    std::array<ColourValue, 256> colours{};
    colours[5] = Own;
    loaded.picture->SetPalette(colours.data(), 256);
    if (*file)
        loaded.document = CreateFormatFor(file);
    return loaded;
}

std::array<ColourValue, 256> greyGroup() {
    std::array<ColourValue, 256> group;
    group.fill(Grey);
    return group;
}

} // namespace

TEST(LoadedPalette, OnlyACellComesWithoutColours) {
    EXPECT_FALSE(CarriesOwnPalette(pictureFrom("doll.cel")));
    EXPECT_TRUE(CarriesOwnPalette(pictureFrom("photo.bmp")));
    EXPECT_TRUE(CarriesOwnPalette(pictureFrom("old.mag")));
    EXPECT_TRUE(CarriesOwnPalette(pictureFrom("")));
}

TEST(LoadedPalette, TheFirstPictureGivesItsColoursToTheGroup) {
    for (const char* file : {"photo.bmp", ""}) {
        auto group = greyGroup();
        LoadedImage loaded = pictureFrom(file);
        ReconcileLoadedPalette(loaded, group.data(), false);
        EXPECT_EQ(group[5], Own) << file;
        EXPECT_EQ(group[4], 0u) << file;
        EXPECT_EQ(loaded.picture->paletteEntry(5), Own) << file;
    }
}

TEST(LoadedPalette, WithAnotherPictureOpenThePictureTakesTheGroup) {
    auto group = greyGroup();
    LoadedImage loaded = pictureFrom("photo.bmp");
    ReconcileLoadedPalette(loaded, group.data(), true);
    EXPECT_EQ(loaded.picture->paletteEntry(5), Grey);
    EXPECT_EQ(loaded.picture->paletteEntry(255), Grey);
    EXPECT_EQ(group[5], Grey);
}

TEST(LoadedPalette, ACellAlwaysTakesTheGroup) {
    for (bool anotherOpen : {false, true}) {
        auto group = greyGroup();
        LoadedImage loaded = pictureFrom("doll.cel");
        ReconcileLoadedPalette(loaded, group.data(), anotherOpen);
        EXPECT_EQ(loaded.picture->paletteEntry(5), Grey) << anotherOpen;
        EXPECT_EQ(group[5], Grey) << anotherOpen;
    }
}

TEST(LoadedPalette, NothingToReconcileWithoutAPicture) {
    auto group = greyGroup();
    LoadedImage empty;
    ReconcileLoadedPalette(empty, group.data(), false);
    EXPECT_EQ(group[5], Grey);
}
