#include "app/FileHistory.h"
#include "app/FileOptions.h"
#include "app/Settings.h"
#include "framework/ScriptedUi.h"
#include "support/TestData.h"

#include <gtest/gtest.h>

using namespace celdo;
using celdo::test::TempDir;

namespace {

std::vector<std::string> list(std::initializer_list<const char*> items) {
    return {items.begin(), items.end()};
}

} // namespace

TEST(FileHistory, AddPutsNewestFirstWithoutDuplicates) {
    FileHistory history("gfile");
    history.add("/a/one.cel");
    history.add("/a/two.cel");
    history.add("/a/three.cel");
    EXPECT_EQ(history.entries(), list({"/a/three.cel", "/a/two.cel", "/a/one.cel"}));
    history.add("/A/ONE.CEL");
    EXPECT_EQ(history.entries(), list({"/A/ONE.CEL", "/a/three.cel", "/a/two.cel"}));
    history.add("/A/ONE.CEL");
    EXPECT_EQ(history.size(), 3);
    EXPECT_EQ(history.find("/a/TWO.cel"), 2);
    EXPECT_EQ(history.find("/a/four.cel"), -1);
}

TEST(FileHistory, ReadStopsAtFirstEmptyAndAtTwenty) {
    TempDir dir;
    std::string text = "[CELDOM]\n";
    for (int i = 0; i < 25; ++i)
        text += "gfile" + std::to_string(i) + "=/f" + std::to_string(i) + "\n";
    text += "pfile0=/p0\npfile1=/p1\npfile3=/p3\n";
    celdo::test::writeFileBytes(dir.file("CELDO.INI"), {text.begin(), text.end()});
    Settings settings(dir.file("CELDO.INI"), "CELDOM");
    FileHistory images("gfile"), palettes("pfile");
    images.read(settings);
    palettes.read(settings);
    EXPECT_EQ(images.size(), 20);
    EXPECT_EQ(*images.entry(19), "/f19");
    EXPECT_EQ(images.entry(20), nullptr);
    EXPECT_EQ(palettes.entries(), list({"/p0", "/p1"}));
}

TEST(FileHistory, WriteDeletesTheKeyAfterTheLast) {
    TempDir dir;
    Settings settings(dir.file("CELDO.INI"), "CELDOM");
    for (int i = 0; i < 5; ++i)
        settings.writeString("gfile" + std::to_string(i), "/old" + std::to_string(i));
    FileHistory history("gfile");
    history.add("/b.cel");
    history.add("/a.cel");
    history.write(settings);
    settings.flush();
    Settings again(dir.file("CELDO.INI"), "CELDOM");
    EXPECT_EQ(again.readString("gfile0"), "/a.cel");
    EXPECT_EQ(again.readString("gfile1"), "/b.cel");
    EXPECT_FALSE(again.has("gfile2"));
    FileHistory back("gfile");
    back.read(again);
    EXPECT_EQ(back.entries(), history.entries());
}

TEST(FileHistory, MenuShowsUpToMaxMenuFile) {
    FileHistory history("gfile");
    for (const char* p : {"/c", "/b", "/a"})
        history.add(p);
    EXPECT_TRUE(history.menuItems(0).empty());
    const auto items = history.menuItems(2);
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0], std::make_pair(Command::FileHistoryFirst, std::string("/a")));
    EXPECT_EQ(items[1], std::make_pair(commandAt(Command::FileHistoryFirst, 1), std::string("/b")));
    EXPECT_EQ(history.menuItems(20).size(), 3u);
    EXPECT_TRUE(FileHistory("gfile").menuItems(10).empty());
}

TEST(FileHistory, FailedEntryKeptWithModeZero) {
    ScriptedUi ui;
    FileHistory history("gfile");
    history.add("/x.cel");
    EXPECT_FALSE(RemoveFailedEntry(0, history, "/x.cel", "x.cel", ui));
    EXPECT_EQ(history.size(), 1);
    EXPECT_TRUE(ui.messages.empty());
}

TEST(FileHistory, FailedEntryAskedWithModeOne) {
    ScriptedUi ui;
    FileHistory history("gfile");
    history.add("/x.cel");
    ui.answerMessage(answer::No);
    EXPECT_TRUE(RemoveFailedEntry(1, history, "/X.CEL", "x.cel", ui));
    EXPECT_EQ(history.size(), 1);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "x.cel は開けません。メニューから外しますか？");
    EXPECT_EQ(ui.messages[0].caption, "Celdos");
    EXPECT_EQ(ui.messages[0].icon, MessageIcon::Question);
    EXPECT_EQ(ui.messages[0].buttons, MessageButtons::YesNo);
    ui.answerMessage(answer::Yes);
    EXPECT_TRUE(RemoveFailedEntry(1, history, "/x.cel", "x.cel", ui));
    EXPECT_TRUE(history.empty());
}

TEST(FileHistory, FailedEntryRemovedSilentlyWithModeTwo) {
    ScriptedUi ui;
    FileHistory history("gfile");
    history.add("/y.cel");
    history.add("/x.cel");
    EXPECT_FALSE(RemoveFailedEntry(2, history, "/x.cel", "x.cel", ui));
    EXPECT_EQ(history.entries(), list({"/y.cel"}));
    EXPECT_TRUE(ui.messages.empty());
    // Not in the list: nothing to ask.
    EXPECT_FALSE(RemoveFailedEntry(1, history, "/z.cel", "z.cel", ui));
    EXPECT_TRUE(ui.messages.empty());
}

TEST(FileHistory, ClearingEmptiesBothListsAndTheirKeys) {
    TempDir dir;
    Settings settings(dir.file("CELDO.INI"), "CELDOM");
    FileHistory images("gfile"), palettes("pfile");
    images.add("/i.cel");
    palettes.add("/p.kcf");
    images.write(settings);
    palettes.write(settings);
    settings.writeInt("MaxMenuFile", 4);
    settings.flush();

    ScriptedUi ui;
    ui.answerMessage(answer::No);
    EXPECT_FALSE(ClearHistories(ui, images, palettes, settings));
    EXPECT_EQ(images.size(), 1);

    ui.answerMessage(answer::Yes);
    EXPECT_TRUE(ClearHistories(ui, images, palettes, settings));
    EXPECT_EQ(ui.messages.back().text, "メニューのファイルの履歴を消去しますか？");
    EXPECT_TRUE(images.empty());
    EXPECT_TRUE(palettes.empty());
    // Flushed at once: a fresh reader sees no history.
    Settings again(dir.file("CELDO.INI"), "CELDOM");
    EXPECT_FALSE(again.has("gfile0"));
    EXPECT_FALSE(again.has("pfile0"));
    EXPECT_EQ(again.readInt("MaxMenuFile", 0), 4);
}

TEST(FileOptions, ReadWriteAndPage) {
    TempDir dir;
    Settings settings(dir.file("CELDO.INI"), "CELDOM");
    settings.writeInt("MaxMenuFile", 50);
    settings.writeInt("DeleteErrorMenuFile", -3);
    settings.writeInt("ViewHeader", 1);
    FileOptions options;
    options.read(settings);
    EXPECT_EQ(options.maxMenuFile, 20);
    EXPECT_EQ(options.deleteErrorMenuFile, 0);
    EXPECT_EQ(options.viewHeader, 1);
    EXPECT_EQ(options.useCommonDialog, 0);

    int clears = 0;
    ControlTable page = FileOptionPage(options, [&] { ++clears; });
    EXPECT_EQ(page.name, "FileOption");
    EXPECT_EQ(page.title, "ファイル");
    EXPECT_EQ(page.text(280), "共通ダイアログを使う");
    EXPECT_EQ(page.text(281), "読込時に情報表示を行う");
    EXPECT_EQ(page.text(282), "書込時にオプションの指定を行う");
    EXPECT_EQ(page.text(240), "読めなかったファイルの処理");
    EXPECT_EQ(page.text(241), "そのまま");
    EXPECT_EQ(page.text(242), "確認");
    EXPECT_EQ(page.text(243), "メニューから外す");
    EXPECT_EQ(page.text(260), "履歴消去");
    EXPECT_EQ(page.value(281), 1);
    EXPECT_EQ(page.value(241), 1);
    EXPECT_EQ(page.text(361), "20");
    EXPECT_EQ(page.find(360)->pageStep, 5);

    EXPECT_EQ(page.press(260), 0);
    EXPECT_EQ(clears, 1);
    page.setValue(360, 3);
    EXPECT_EQ(page.text(361), "3");
    page.setValue(243, 1);
    page.setValue(280, 1);
    page.setValue(281, 0);
    ReadFileOptionPage(page, options);
    EXPECT_EQ(options.maxMenuFile, 3);
    EXPECT_EQ(options.deleteErrorMenuFile, 2);
    EXPECT_EQ(options.useCommonDialog, 1);
    EXPECT_EQ(options.viewHeader, 0);

    options.write(settings);
    settings.flush();
    Settings again(dir.file("CELDO.INI"), "CELDOM");
    EXPECT_EQ(again.readInt("MaxMenuFile", 0), 3);
    EXPECT_EQ(again.readInt("DeleteErrorMenuFile", 0), 2);
    EXPECT_EQ(again.readInt("SaveOption", -1), 0);
    EXPECT_EQ(again.readInt("GraphicFileType", -1), 0);
}
