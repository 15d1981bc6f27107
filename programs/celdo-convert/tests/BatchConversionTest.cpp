#include "BatchConversion.h"
#include "Conversion.h"

#include "formats/BmpFile.h"
#include "formats/KissCellFile.h"
#include "support/TestData.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace celdo::convert {
namespace {

using Bytes = std::vector<std::uint8_t>;
using test::readFileBytes;
using test::TempDir;
using test::writeFileBytes;

// A 256-colour cell of `width` × `height` pixels whose bytes follow from
// `seed`, with the given offsets, written by hand.
Bytes cellBytes(int width, int height, int offsetX, int offsetY, int seed) {
    Bytes b(32, 0);
    b[0] = 'K', b[1] = 'i', b[2] = 'S', b[3] = 'S', b[4] = 0x20, b[5] = 8;
    b[8] = static_cast<std::uint8_t>(width);
    b[10] = static_cast<std::uint8_t>(height);
    b[12] = static_cast<std::uint8_t>(offsetX);
    b[14] = static_cast<std::uint8_t>(offsetY);
    for (int i = 0; i < width * height; ++i)
        b.push_back(static_cast<std::uint8_t>(i * 7 + seed));
    return b;
}

TEST(BatchOutputPath, IsTheNameWithoutItsExtensionInTheFolder) {
    EXPECT_EQ(batchOutputPath("in/doll.cel", "out", "BMP"), "out/doll.bmp");
    EXPECT_EQ(batchOutputPath("/a.b/doll.v2.CEL", "out/", "mag"), "out/doll.v2.mag");
    EXPECT_EQ(batchOutputPath("plain", "/x", "Cel"), "/x/plain.cel");
    EXPECT_EQ(batchOutputPath("dir.cel/.hidden", "o", "bmp"), "o/.hidden.bmp");
}

TEST(PlanBatch, AnOutputTakenByAnEarlierInputFailsTheLaterOne) {
    const auto files = planBatch({"a/x.cel", "b/y.cel", "b/x.bmp"}, "o", "mag");
    ASSERT_EQ(files.size(), 3u);
    EXPECT_EQ(files[0].outcome, BatchOutcome::Pending);
    EXPECT_EQ(files[1].outcome, BatchOutcome::Pending);
    EXPECT_EQ(files[2].outcome, BatchOutcome::Failed);
    ASSERT_EQ(files[2].lines.size(), 1u);
    EXPECT_EQ(files[2].lines[0], "b/x.bmp: o/x.mag is already the output of a/x.cel");
}

TEST(BatchInputs, AFolderGivesItsKnownFilesSortedAndNamedFilesStay) {
    TempDir dir;
    std::filesystem::create_directories(dir.path() / "f" / "sub");
    for (const char* name : {"f/b.cel", "f/a.BMP", "f/c.txt", "f/d", "f/e.kcf", "f/sub/g.mag"})
        writeFileBytes(dir.file(name), {1});
    const std::string f = dir.file("f");
    EXPECT_EQ(batchInputs({f, "named.txt"}, false, "BMP"),
              (std::vector<std::string>{f + "/a.BMP", f + "/b.cel", "named.txt"}));
    EXPECT_EQ(batchInputs({f}, true, "CEL"),
              (std::vector<std::string>{f + "/a.BMP", f + "/b.cel", f + "/sub/g.mag"}));
    EXPECT_EQ(batchInputs({f}, false, "KCF"), (std::vector<std::string>{f + "/e.kcf"}));
}

// A cell output takes the kind and offsets of its own input only: a bitmap
// converted right after a cell with offsets gets none, as in a run of its own.
TEST(ConvertBatch, ACellOutputDoesNotTakeTheOffsetsOfAnotherFile) {
    TempDir dir;
    writeFileBytes(dir.file("a.cel"), cellBytes(3, 2, 5, 7, 1));
    writeFileBytes(dir.file("b.bmp"), {});
    {
        auto picture = CellImage::Create(3, 2, 8);
        picture->SetGreyPalette();
        BmpFile bmp(dir.file("b.bmp"));
        bmp.setFromImage(*picture);
        ASSERT_EQ(bmp.saveTo(*picture, nullptr), status::Ok);
    }
    Arguments arguments;
    arguments.to = "CEL";
    arguments.outputFolder = dir.file("out");
    std::filesystem::create_directory(arguments.outputFolder);
    auto files = planBatch({dir.file("a.cel"), dir.file("b.bmp")}, arguments.outputFolder, "CEL");
    ConvertBatch(files, arguments, {}, 1, {});
    ASSERT_EQ(files[0].outcome, BatchOutcome::Converted);
    ASSERT_EQ(files[1].outcome, BatchOutcome::Converted);
    EXPECT_EQ(readFileBytes(dir.file("out/a.cel")), cellBytes(3, 2, 5, 7, 1));
    Bytes grey = cellBytes(3, 2, 0, 0, 0);
    std::fill(grey.begin() + 32, grey.end(), 0);
    EXPECT_EQ(readFileBytes(dir.file("out/b.cel")), grey);
}

// Many files on four threads: every output holds the bytes a conversion of
// its file alone writes, and the reports keep the order of the inputs.
TEST(ConvertBatch, FourJobsWriteWhatOneFileAtATimeWrites) {
    TempDir dir;
    std::vector<std::string> inputs;
    for (int i = 0; i < 60; ++i) {
        const std::string name = dir.file("c" + std::to_string(100 + i) + ".cel");
        writeFileBytes(name, cellBytes(4 + i % 9, 3 + i % 5, i % 4, i % 3, i));
        inputs.push_back(name);
    }
    // A bad file in the middle.
    writeFileBytes(dir.file("c129x.cel"), {'K', 'i', 'S', 'S', 0x20, 8});
    inputs.insert(inputs.begin() + 30, dir.file("c129x.cel"));

    Arguments arguments;
    arguments.to = "MAG";
    arguments.outputFolder = dir.file("batch");
    std::filesystem::create_directory(arguments.outputFolder);
    auto files = planBatch(inputs, arguments.outputFolder, "MAG");
    int calls = 0;
    int lastDone = 0;
    ConvertBatch(files, arguments, {}, 4, [&](int done, int total) {
        ++calls;
        EXPECT_EQ(done, lastDone + 1);
        EXPECT_EQ(total, 61);
        lastDone = done;
    });
    EXPECT_EQ(calls, 61);

    std::filesystem::create_directory(dir.file("alone"));
    for (std::size_t i = 0; i < files.size(); ++i) {
        const std::string alone = batchOutputPath(inputs[i], dir.file("alone"), "MAG");
        const ConversionReport report = ConvertFile(inputs[i], alone, arguments, {}, {});
        EXPECT_EQ(files[i].in, inputs[i]);
        EXPECT_EQ(files[i].lines, report.lines);
        if (i == 30) {
            EXPECT_EQ(files[i].outcome, BatchOutcome::Failed);
            EXPECT_FALSE(report.written);
            EXPECT_FALSE(std::filesystem::exists(files[i].out));
            continue;
        }
        ASSERT_EQ(files[i].outcome, BatchOutcome::Converted) << inputs[i];
        ASSERT_TRUE(report.written);
        EXPECT_EQ(readFileBytes(files[i].out), readFileBytes(alone)) << files[i].out;
    }
}

TEST(ConvertBatch, AnExistingOutputIsSkippedWithoutOverwrite) {
    TempDir dir;
    writeFileBytes(dir.file("a.cel"), cellBytes(2, 2, 0, 0, 3));
    std::filesystem::create_directory(dir.file("o"));
    writeFileBytes(dir.file("o/a.cel"), {'o', 'l', 'd'});
    Arguments arguments;
    arguments.to = "cel";
    arguments.outputFolder = dir.file("o");
    auto files = planBatch({dir.file("a.cel")}, arguments.outputFolder, arguments.to);
    ConvertBatch(files, arguments, {}, 2, {});
    EXPECT_EQ(files[0].outcome, BatchOutcome::Skipped);
    EXPECT_EQ(readFileBytes(dir.file("o/a.cel")), (Bytes{'o', 'l', 'd'}));

    arguments.overwrite = true;
    files = planBatch({dir.file("a.cel")}, arguments.outputFolder, arguments.to);
    ConvertBatch(files, arguments, {}, 2, {});
    EXPECT_EQ(files[0].outcome, BatchOutcome::Converted);
    EXPECT_EQ(readFileBytes(dir.file("o/a.cel")), cellBytes(2, 2, 0, 0, 3));
}

} // namespace
} // namespace celdo::convert
