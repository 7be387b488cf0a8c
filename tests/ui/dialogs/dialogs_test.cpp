// The settings dialog and the about box as real widgets.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "dialogs/about_box.h"
#include "scripted_prompt.h"
#include "dialogs/settings_dialog.h"
#include "test_files.h"
#include "text/text_codec.h"

using namespace test_support;

namespace {

class SettingsDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        WriteBytes(ini, text::ToGbk("[Option]\r\nAUTO=1\r\nEDIT=0\r\nEditPath=\r\n"));
        w.bindDrivers = false;
        commands::StartUp(w, std::make_unique<files::CIniFile>(ini), d.path() + "/", d / "sound.dat", ui);
    }
    // Runs the settings command; `act` runs once the modal dialog is up and
    // must close it.
    void RunWith(std::function<void()> act) {
        QTimer::singleShot(0, &dialog, [&] {
            EXPECT_TRUE(dialog.isVisible());
            EXPECT_TRUE(dialog.isModal());
            act();
            if (dialog.isVisible()) {
                ADD_FAILURE() << "dialog left open";
                dialog.reject();
            }
        });
        RunSettingsCommand(dialog, w);
    }
    void PickReturns(const QString& path) {
        dialog.SetFilePicker([path](QFileDialog&) { return path; });
    }

    TempDir d;
    const std::string ini = d / "Sonmira.INI";
    ScriptedPrompt ui{messages::MsgAnswer::Ok};
    commands::Workspace w;
    TfrmPath dialog;
};

}  // namespace

TEST_F(SettingsDialogTest, looksAsDesigned) {
    EXPECT_EQ(dialog.windowTitle(), "设置编辑文件路径");
    EXPECT_EQ(dialog.size(), QSize(321, 127));
    EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());
    EXPECT_FALSE(dialog.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    EXPECT_EQ(dialog.EditCheck()->text(), "是否允许编辑文件");
    EXPECT_EQ(dialog.findChild<QGroupBox*>("GroupBox1")->title(), "编辑程序路径");
    EXPECT_EQ(dialog.EPath()->width(), 265);
    EXPECT_EQ(dialog.BPath()->size(), QSize(22, 21));
    EXPECT_FALSE(dialog.BPath()->icon().isNull());
    EXPECT_EQ(dialog.OKBtn()->text(), "确定");
    EXPECT_TRUE(dialog.OKBtn()->isDefault());
    EXPECT_EQ(dialog.Button1()->text(), "取消");
    EXPECT_EQ(dialog.OpenDialog1()->windowTitle(), "请选择声音编辑文件");
    for (const char* name : {"EditCheck", "GroupBox1", "EPath", "BPath", "OKBtn", "Button1"}) {
        QWidget* c = dialog.findChild<QWidget*>(name);
        ASSERT_NE(c, nullptr) << name;
        EXPECT_FALSE(c->accessibleName().isEmpty()) << name;
    }
}

TEST_F(SettingsDialogTest, notAllowedOpensUntickedAndOkStoresNothingAllowed) {
    RunWith([&] {
        EXPECT_FALSE(dialog.EditCheck()->isChecked());
        EXPECT_FALSE(dialog.BPath()->isEnabled());
        QTest::mouseClick(dialog.EditCheck(), Qt::LeftButton);
        EXPECT_TRUE(dialog.BPath()->isEnabled());
        EXPECT_TRUE(dialog.EPath()->isEnabled());
        // Typed and pasted characters are thrown away; only the browse button fills the box.
        QTest::keyClicks(dialog.EPath(), "abc");
        QApplication::clipboard()->setText("/usr/bin/pasted");
        QTest::keyClick(dialog.EPath(), Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(dialog.EPath()->text(), "");
        PickReturns("/mnt/c/Tools/ED.EXE");
        QTest::mouseClick(dialog.BPath(), Qt::LeftButton);
        EXPECT_EQ(dialog.EPath()->text(), "/mnt/c/Tools/ED.EXE");
        PickReturns((d / "ed.com").c_str());  // not an executable
        WriteBytes(d / "ed.com", "x");
        QTest::mouseClick(dialog.BPath(), Qt::LeftButton);
        PickReturns(QString());  // cancelled
        QTest::mouseClick(dialog.BPath(), Qt::LeftButton);
        EXPECT_EQ(dialog.EPath()->text(), "/mnt/c/Tools/ED.EXE");
        // Unticked again: OK stores "not allowed" and no path.
        QTest::mouseClick(dialog.EditCheck(), Qt::LeftButton);
        EXPECT_FALSE(dialog.BPath()->isEnabled());
        QTest::mouseClick(dialog.OKBtn(), Qt::LeftButton);
    });
    EXPECT_FALSE(w.editorEnabled);
    EXPECT_EQ(w.editorPath, "");
    EXPECT_EQ(ReadBytes(ini), "[Option]\r\nAUTO=1\r\nEDIT=0\r\nEditPath=\r\n");
}

TEST_F(SettingsDialogTest, okStoresTheTickedPathAndCancelWritesNothing) {
    const std::string editor = d / "wave editor";
    WriteBytes(editor, "#!/bin/sh\n");
    chmod(editor.c_str(), 0755);
    RunWith([&] {
        QTest::mouseClick(dialog.EditCheck(), Qt::LeftButton);
        PickReturns(QString::fromStdString(editor));
        QTest::mouseClick(dialog.BPath(), Qt::LeftButton);
        QTest::keyClick(&dialog, Qt::Key_Return);  // OK is the default button
    });
    EXPECT_TRUE(w.editorEnabled);
    EXPECT_EQ(w.editorPath, editor);
    const std::string stored = ReadBytes(ini);
    EXPECT_EQ(stored, "[Option]\r\nAUTO=1\r\nEDIT=1\r\nEditPath=" + editor + "\r\n");

    RunWith([&] {
        EXPECT_TRUE(dialog.EditCheck()->isChecked());
        EXPECT_TRUE(dialog.BPath()->isEnabled());
        EXPECT_EQ(dialog.EPath()->text().toStdString(), editor);
        QTest::mouseClick(dialog.EditCheck(), Qt::LeftButton);
        QTest::keyClick(&dialog, Qt::Key_Escape);  // no key cancels
        EXPECT_TRUE(dialog.isVisible());
        QTest::mouseClick(dialog.Button1(), Qt::LeftButton);
    });
    RunWith([&] { dialog.close(); });  // the close box cancels too
    EXPECT_TRUE(w.editorEnabled);
    EXPECT_EQ(w.editorPath, editor);
    EXPECT_EQ(ReadBytes(ini), stored);
}

// The names the browse dialog's list shows for its folder, sorted.
std::vector<std::string> Listed(QFileDialog& dialog) {
    auto* view = dialog.findChild<QListView*>("listView");
    std::vector<std::string> names;
    if (!view || !view->model()) return names;
    const QModelIndex root = view->rootIndex();
    for (int r = 0; r < view->model()->rowCount(root); ++r)
        names.push_back(view->model()->index(r, 0, root).data().toString().toStdString());
    std::sort(names.begin(), names.end());
    return names;
}

// The list once it shows `want`, or as it stands after a generous wait.
std::vector<std::string> ListedOnceItShows(QFileDialog& dialog, const std::vector<std::string>& want) {
    static_cast<void>(QTest::qWaitFor([&] { return Listed(dialog) == want; }, 60000));
    return Listed(dialog);
}

TEST_F(SettingsDialogTest, browseDialogListsFoldersAndTheFilesAnEditorCanBe) {
    TempDir folder("sonmira-browse");
    std::filesystem::create_directory(folder / "sounds");
    WriteBytes(folder / "editor", "#!/bin/sh\n");
    chmod((folder / "editor").c_str(), 0755);
    WriteBytes(folder / "notes.txt", "x");
    chmod((folder / "notes.txt").c_str(), 0644);
    WriteBytes(folder / "tool.EXE", "MZ");
    chmod((folder / "tool.EXE").c_str(), 0644);
    WriteBytes(folder / ".hidden", "#!/bin/sh\n");
    chmod((folder / ".hidden").c_str(), 0755);

    QFileDialog& browse = *dialog.OpenDialog1();
    auto* files = browse.findChild<QFileSystemModel*>();
    ASSERT_NE(files, nullptr);
    const QString path = QString::fromStdString(folder.path());
    bool loaded = false;
    QObject watch;  // ends the connection with the test
    QObject::connect(files, &QFileSystemModel::directoryLoaded, &watch,
                     [&](const QString& dir) { loaded = loaded || dir == path; });
    browse.setDirectory(path);
    browse.show();
    // The model reads the folder on a thread of its own.
    EXPECT_TRUE(QTest::qWaitFor([&] { return loaded; }, 60000));
    const std::vector<std::string> all{"editor", "sounds", "tool.EXE"};
    EXPECT_EQ(ListedOnceItShows(browse, all), all);
    browse.selectNameFilter("Executable File (*.exe)");
    const std::vector<std::string> exe{"sounds", "tool.EXE"};
    EXPECT_EQ(ListedOnceItShows(browse, exe), exe);
    browse.hide();
}

TEST(AboutBox, showsItsTextsAndStaysOneModelessBox) {
    QWidget main;
    main.show();
    TAboutBox1 box(&main);
    EXPECT_EQ(box.windowTitle(), "关于语音编程器");
    EXPECT_EQ(box.size(), QSize(287, 195));
    EXPECT_EQ(box.minimumSize(), box.maximumSize());
    EXPECT_EQ(box.findChild<QLabel*>("ProductName")->text(), "岚舟语音编程器");
    EXPECT_TRUE(box.findChild<QLabel*>("ProductName")->font().bold());
    EXPECT_EQ(box.findChild<QLabel*>("ProductName")->font().pixelSize(), 16);
    EXPECT_EQ(box.findChild<QLabel*>("Version")->text(), "Version 3.5");
    EXPECT_EQ(box.findChild<QLabel*>("Copyright")->text(), "发布日期：2009年2月27日         ");
    EXPECT_EQ(box.findChild<QLabel*>("ProgramIcon")->pixmap().size(), QSize(89, 33));
    EXPECT_EQ(box.OKButton()->text(), "确定");
    EXPECT_TRUE(box.OKButton()->isDefault());

    ShowAboutBox(box);
    ShowAboutBox(box);
    int shown = 0;
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top->isVisible() && qobject_cast<TAboutBox1*>(top)) ++shown;
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);  // the main window stays usable
    QTest::mouseClick(box.OKButton(), Qt::LeftButton);
    EXPECT_FALSE(box.isVisible());
    ShowAboutBox(box);
    EXPECT_TRUE(box.isVisible());
}
