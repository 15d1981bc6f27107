#include "framework/FileDialog.h"
#include "framework/ScriptedUi.h"

#include "support/TestData.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace celdo;

namespace {

FileDialog::Request imageOpen(const std::string& dir) {
    FileDialog::Request r;
    r.mode = FileDialog::Load;
    r.title = "画像の読込";
    r.types = {{"BMP", "*.BMP"}, {"Cell", "*.CEL"}, {"全て", "*.*"}};
    r.directory = dir;
    r.checkValue = 0;
    return r;
}

struct Folder {
    test::TempDir dir;
    Folder() {
        test::writeFileBytes(dir.file("doll.cel"), {1});
        test::writeFileBytes(dir.file("Back.CEL"), {1});
        test::writeFileBytes(dir.file("photo.bmp"), {1});
        test::writeFileBytes(dir.file("notes"), {1});
        std::filesystem::create_directory(dir.path() / "sub");
        test::writeFileBytes(dir.file("sub/inner.cel"), {1});
    }
};

} // namespace

TEST(FileDialog, WildcardsIgnoreCase) {
    EXPECT_TRUE(FileDialog::matches("*.CEL", "doll.cel"));
    EXPECT_TRUE(FileDialog::matches("*.CEL", "A.B.CEL"));
    EXPECT_FALSE(FileDialog::matches("*.CEL", "doll.cell"));
    EXPECT_TRUE(FileDialog::matches("*.*", "notes"));
    EXPECT_TRUE(FileDialog::matches("a?c.bmp", "ABC.BMP"));
}

TEST(FileDialog, ListsFollowTheTypeAndDirectory) {
    Folder f;
    FileDialog dialog(imageOpen(f.dir.path().string()));
    ControlTable& t = dialog.table();
    EXPECT_EQ(t.name, "FLOAD");
    EXPECT_EQ(t.title, "画像の読込");
    EXPECT_EQ(t.find(FileDialog::FileList)->items, (std::vector<std::string>{"photo.bmp"}));
    t.setValue(FileDialog::TypeList, 1);
    EXPECT_EQ(t.find(FileDialog::FileList)->items,
              (std::vector<std::string>{"Back.CEL", "doll.cel"}));
    const auto& dirs = t.find(FileDialog::DirectoryList)->items;
    ASSERT_EQ(dirs, (std::vector<std::string>{"..", "sub"}));
    t.setValue(FileDialog::DirectoryList, 1);
    // Selecting marks the directory; activating it enters.
    EXPECT_EQ(t.text(FileDialog::DirectoryText), f.dir.path().string() + "/");
    EXPECT_EQ(t.value(FileDialog::DirectoryList), 1);
    EXPECT_EQ(t.activate(FileDialog::DirectoryList), 0);
    EXPECT_EQ(t.find(FileDialog::FileList)->items, (std::vector<std::string>{"inner.cel"}));
    EXPECT_EQ(t.text(FileDialog::DirectoryText), (f.dir.path() / "sub").string() + "/");
}

TEST(FileDialog, ConfirmReturnsThePathTypeAndCheckBox) {
    Folder f;
    ScriptedUi ui;
    ui.answerDialog("FLOAD", [](ControlTable& t) {
        t.setValue(FileDialog::TypeList, 1);
        t.setValue(FileDialog::FileList, 1); // doll.cel
        t.setValue(FileDialog::ViewHeaderCheck, 1);
        return t.press(1);
    });
    const auto result = FileDialog::Run(ui, imageOpen(f.dir.path().string()));
    ASSERT_TRUE(result.confirmed);
    EXPECT_EQ(result.path, f.dir.file("doll.cel"));
    EXPECT_EQ(result.typeIndex, 1);
    EXPECT_EQ(result.checkValue, 1);
}

TEST(FileDialog, OpenNeedsAnExistingFileAndEntersTypedDirectories) {
    Folder f;
    FileDialog dialog(imageOpen(f.dir.path().string()));
    ControlTable& t = dialog.table();
    t.setText(FileDialog::FileNameEdit, "missing.bmp");
    EXPECT_EQ(t.press(1), 0);
    t.setText(FileDialog::FileNameEdit, "sub");
    EXPECT_EQ(t.press(1), 0);
    EXPECT_EQ(dialog.directory(), (f.dir.path() / "sub").string() + "/");
    EXPECT_EQ(t.press(2), 2);
    EXPECT_FALSE(dialog.result(2).confirmed);
}

TEST(FileDialog, SaveAcceptsANewName) {
    Folder f;
    FileDialog::Request r = imageOpen(f.dir.path().string());
    r.mode = FileDialog::Save;
    r.title = "画像の保存";
    r.fileName = "new.cel";
    FileDialog dialog(r);
    EXPECT_EQ(dialog.table().name, "FSAVE");
    EXPECT_EQ(dialog.table().text(1), "書込");
    EXPECT_TRUE(dialog.table().has(FileDialog::OptionCheck));
    EXPECT_EQ(dialog.table().press(1), 1);
    EXPECT_EQ(dialog.result(1).path, f.dir.file("new.cel"));
}

TEST(FileDialog, ActivatingAFileConfirmsItAndAListWithoutHandlerPressesConfirm) {
    Folder f;
    FileDialog dialog(imageOpen(f.dir.path().string()));
    ControlTable& t = dialog.table();
    t.setValue(FileDialog::FileList, 0); // photo.bmp
    EXPECT_EQ(t.activate(FileDialog::FileList), 1);
    EXPECT_EQ(dialog.result(1).path, f.dir.file("photo.bmp"));

    ControlTable plain;
    plain.add(listBox(10, {"a", "b"}, 1));
    plain.add(button(1, "OK"));
    int pressed = 0;
    plain.onButton = [&](ControlTable&, int id) {
        pressed = id;
        return 7;
    };
    EXPECT_EQ(plain.activate(10), 7);
    EXPECT_EQ(pressed, 1);
    EXPECT_EQ(plain.activate(99), 0); // no such list
}
