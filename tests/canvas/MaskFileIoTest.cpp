#include "canvas/MaskFileIo.h"
#include "canvas/MaskEdit.h"
#include "formats/MagFile.h"
#include "framework/ScriptedUi.h"
#include "support/TestData.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace celdo;
using namespace celdo::test;

namespace {

// A 10 × 3 picture with a mask protecting a few pixels with assorted values.
PaintSurface maskedSurface() {
    PaintSurface s;
    s.picture = CellImage::Create(10, 3, 8);
    s.mask = CellImage::Create(10, 3, 8);
    s.mask->at(0, 0) = 0xFF;
    s.mask->at(9, 0) = 0x01;
    s.mask->at(4, 1) = 0x80;
    s.mask->at(5, 2) = 0xFF;
    return s;
}

} // namespace

TEST(MaskFileIo, RoundTripThroughMag) {
    TempDir dir;
    const std::string picture = dir.file("DOLL.CEL");
    PaintSurface s = maskedSurface();
    ScriptedUi ui;
    ASSERT_EQ(SaveMask(s, picture, MagMaskWriter(), ui), status::Ok);
    EXPECT_TRUE(ui.messages.empty());
    const std::string maskName = dir.file("DOLL.MSK");
    ASSERT_TRUE(std::filesystem::exists(maskName));

    // The file is a 256-colour MAG picture whose comment is the mask comment
    // in Shift-JIS, right after the 31 leading bytes, ended by 0x1A.
    const std::vector<std::uint8_t> bytes = readFileBytes(maskName);
    const std::vector<std::uint8_t> comment = {0x43, 0x65, 0x6C, 0x64, 0x6F, 0x20, 0x97,
                                               0x70, 0x83, 0x7D, 0x83, 0x58, 0x83, 0x4E};
    ASSERT_GT(bytes.size(), 31 + comment.size() + 1 + 32 + 768);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 8), "MAKI02  ");
    EXPECT_TRUE(std::equal(comment.begin(), comment.end(), bytes.begin() + 31));
    const std::size_t header = 31 + comment.size() + 1;
    EXPECT_EQ(bytes[header - 1], 0x1A);
    EXPECT_EQ(bytes[header + 3] & 0x80, 0x80);
    // Grey palette, green-red-blue per entry: entry 200 is (200, 200, 200).
    EXPECT_EQ(bytes[header + 32 + 3 * 200], 200);
    EXPECT_EQ(bytes[header + 32 + 3 * 200 + 2], 200);

    MagFile file(maskName);
    ASSERT_EQ(file.readHeader(), status::Ok);
    EXPECT_EQ(file.comment(), MaskFileComment);

    CellImagePtr loaded = LoadMask(nullptr, picture, MagMaskReader());
    ASSERT_TRUE(loaded);
    ASSERT_EQ(loaded->bitsPerPixel(), 8);
    ASSERT_EQ(loaded->width(), 10);
    ASSERT_EQ(loaded->height(), 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 10; ++x)
            EXPECT_EQ(loaded->at(x, y), s.mask->at(x, y)) << x << "," << y;
    PaintSurface fresh;
    fresh.picture = CellImage::Create(10, 3, 8);
    EXPECT_TRUE(AttachMask(fresh, std::move(loaded)));
}

TEST(MaskFileIo, AllZeroMaskDeletesTheFile) {
    TempDir dir;
    const std::string picture = dir.file("pic.bmp");
    PaintSurface s = maskedSurface();
    ScriptedUi ui;
    ASSERT_EQ(SaveMask(s, picture, MagMaskWriter(), ui), status::Ok);
    ASSERT_TRUE(std::filesystem::exists(dir.file("pic.MSK")));
    ClearMask(s); // image edit mode: the plane goes
    s.mask = CellImage::Create(10, 3, 8);
    ASSERT_EQ(SaveMask(s, picture, MagMaskWriter(), ui), status::Ok);
    EXPECT_FALSE(std::filesystem::exists(dir.file("pic.MSK")));
    EXPECT_EQ(listDir(dir.path()).size(), 0u);
    EXPECT_FALSE(LoadMask(nullptr, picture, MagMaskReader()));
}

TEST(MaskFileIo, UnreadableOrSixteenColourFiles) {
    TempDir dir;
    // Not a MAG file: no mask, no message.
    writeFileBytes(dir.file("a.MSK"), {'B', 'M', 0, 0});
    EXPECT_FALSE(LoadMask(nullptr, dir.file("a.cel"), MagMaskReader()));
    // A 16-colour MAG mask is widened to one byte a pixel.
    CellImagePtr four = CellImage::Create(8, 2, 4);
    four->row(1)[0] = 0x0F; // pixel (0, 1) = 0, high nibble first; (1, 1) = 15
    ASSERT_EQ(MagFile::Save(dir.file("b.MSK"), *four, "x"), status::Ok);
    CellImagePtr loaded = LoadMask(nullptr, dir.file("b.cel"), MagMaskReader());
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->bitsPerPixel(), 8);
    EXPECT_EQ(loaded->at(0, 1), 0);
    EXPECT_EQ(loaded->at(1, 1), 15);
    EXPECT_EQ(loaded->at(0, 0), 0);
}

TEST(MaskFileIo, FailedWriteKeepsThePictureAndSays) {
    TempDir dir;
    PaintSurface s = maskedSurface();
    ScriptedUi ui;
    const std::string picture = (dir.path() / "missing" / "p.cel").string();
    EXPECT_NE(SaveMask(s, picture, MagMaskWriter(), ui), status::Ok);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, MaskSaveFailedText);
}

TEST(MaskFileIo, PlaneFromMemory) {
    // A 3 × 2 picture of 16 colours, indices 1 2 3 over 15 0 9, written as
    // MAG into memory, reads as an 8-bit plane of the same values.
    CellImagePtr picture = CellImage::Create(3, 2, 4);
    picture->row(0)[0] = 0x12;
    picture->row(0)[1] = 0x30;
    picture->row(1)[0] = 0xF0;
    picture->row(1)[1] = 0x90;
    MagFile out("unused.msk");
    out.setFromImage(*picture);
    std::vector<std::uint8_t> bytes;
    ASSERT_EQ(out.saveToMemory(*picture, nullptr, bytes), status::Ok);

    MagFile in("no-such-folder/unused.msk");
    in.readFromMemory(bytes);
    CellImagePtr plane = readMaskPlane(in);
    ASSERT_TRUE(plane);
    EXPECT_EQ(plane->bitsPerPixel(), 8);
    EXPECT_EQ(plane->width(), 3);
    EXPECT_EQ(plane->height(), 2);
    EXPECT_EQ(plane->at(0, 0), 1);
    EXPECT_EQ(plane->at(1, 0), 2);
    EXPECT_EQ(plane->at(2, 0), 3);
    EXPECT_EQ(plane->at(0, 1), 15);
    EXPECT_EQ(plane->at(1, 1), 0);
    EXPECT_EQ(plane->at(2, 1), 9);
}
