// The file browser pane in the main window: what the file list shows, its
// keys, and entries dropped on the programming list from the browser and
// from other programs.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QMimeData>
#include <QTest>
#include <QUrl>
#include <filesystem>

#include "audio_files.h"
#include "fake_mixer.h"
#include "file_browser/file_browser.h"
#include "file_browser/file_list_model.h"
#include "list_grid.h"
#include "main_form.h"
#include "scripted_prompt.h"
#include "test_files.h"
#include "window_setup.h"

namespace fs = std::filesystem;
using test_support::WriteBytes;

namespace {

class FileBrowserTest : public ::testing::Test {
protected:
    void SetUp() override {
        test_support::CopyInstallData(home_);
        MainFormSetup setup = test_support::WindowSetup(home_, &prompt_, &mixer_);
        setup.dialogs = FileDialogs{};
        form_ = std::make_unique<TMainForm>(setup);
        form_->show();
        form_->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form_.get()));
        browser_ = form_->Browser();
        model_ = browser_->Model();
    }
    void TearDown() override { form_.reset(); }

    test_support::FakeMixer mixer_;

    QString Cell(int row, int column) const { return model_->index(row, column).data().toString(); }
    int Current() const { return browser_->CurrentView()->currentIndex().row(); }
    void Key(Qt::Key key) { QTest::keyClick(browser_->CurrentView(), key); }
    void Drop(QMimeData* data) {
        QWidget* target = form_->findChild<ListGrid*>("StringGrid")->viewport();
        // A drag comes in, then drops.
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        EXPECT_TRUE(enter.isAccepted());
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &drop);
        delete data;
    }
    void DropSelected(int row) {
        browser_->CurrentView()->setCurrentIndex(model_->index(row, 0));
        auto* data = new QMimeData;
        data->setData(kBrowserDragFormat, {});
        Drop(data);
    }

    const test_support::TempDir home_, files_;
    ScriptedPrompt prompt_{messages::MsgAnswer::No};
    std::unique_ptr<TMainForm> form_;
    TFileBrowser* browser_ = nullptr;
    FileListModel* model_ = nullptr;
};

}  // namespace

TEST_F(FileBrowserTest, detailsColumnsHiddenGreySizesAndFolderTexts) {
    WriteBytes(files_ / "k1000.wav", std::string(1000, 'x'));
    WriteBytes(files_ / "k1999.wav", std::string(1999, 'x'));
    WriteBytes(files_ / "k999.wav", std::string(999, 'x'));
    WriteBytes(files_ / ".hidden.wav", "");
    fs::create_directory(files_ / "sub");
    ASSERT_TRUE(browser_->OpenFolderPath(files_.path()));
    EXPECT_EQ(browser_->PathWithSeparator(), files_.path() + "/");
    QStringList captions;
    for (int c = 0; c < FileListModel::kColumns; ++c)
        captions << model_->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
    EXPECT_EQ(captions, QStringList({"      文件名称", "文件大小", " 文件类型", "修改日期", "    属 性"}));

    ASSERT_EQ(model_->rowCount(), 5);
    EXPECT_EQ(Cell(0, 0), "sub");
    EXPECT_EQ(Cell(0, 1), "");
    EXPECT_FALSE(Cell(0, 2).isEmpty());
    EXPECT_FALSE(Cell(0, 3).isEmpty());
    EXPECT_EQ(Cell(1, 0), ".hidden.wav");
    EXPECT_EQ(Cell(1, 4), "HA");
    EXPECT_EQ(model_->index(1, 0).data(Qt::ForegroundRole).value<QColor>(), QColor(128, 128, 128));
    EXPECT_FALSE(model_->index(2, 0).data(Qt::ForegroundRole).isValid());
    EXPECT_EQ(QStringList({Cell(2, 1), Cell(3, 1), Cell(4, 1)}), QStringList({"0KB", "1KB", "1KB"}));
    // The same type, one cached name.
    EXPECT_EQ(Cell(2, 2), Cell(3, 2));
    EXPECT_EQ(Current(), 0);
    EXPECT_TRUE(browser_->CurrentView()->hasFocus());
}

TEST_F(FileBrowserTest, detailsOnlyForDrawnRowsAndRangesInsideTheList) {
    for (int i = 0; i < 2000; ++i) WriteBytes(files_ / ("f" + std::to_string(i)), "");
    ASSERT_TRUE(browser_->OpenFolderPath(files_.path()));
    QApplication::processEvents();
    browser_->CurrentView()->repaint();
    EXPECT_GT(model_->FetchedCount(), 0u);
    EXPECT_LT(model_->FetchedCount(), 200u);
    EXPECT_EQ(Cell(1, 0), "f1");
    EXPECT_EQ(Cell(10, 0), "f10");
    const size_t before = model_->FetchedCount();
    model_->FetchDetails(1990, 2000);  // reaches past the last entry
    EXPECT_EQ(model_->FetchedCount(), before);
}

TEST_F(FileBrowserTest, enterOpensFoldersOnlyBackspaceClimbsToTheTopLevelAndStops) {
    fs::create_directory(files_ / "sub");
    fs::create_directory(files_ / "sub/empty");
    WriteBytes(files_ / "sub/a.wav", "");
    ASSERT_TRUE(browser_->OpenFolderPath(files_.path() + "/sub"));
    browser_->CurrentView()->setCurrentIndex(model_->index(1, 0));
    Key(Qt::Key_Return);  // a file
    EXPECT_EQ(browser_->PathWithSeparator(), files_.path() + "/sub/");
    EXPECT_EQ(Current(), 1);
    browser_->CurrentView()->setCurrentIndex(model_->index(0, 0));
    Key(Qt::Key_Return);  // a folder, empty
    EXPECT_EQ(browser_->PathWithSeparator(), files_.path() + "/sub/empty/");
    EXPECT_EQ(model_->rowCount(), 0);
    EXPECT_EQ(Current(), -1);
    Key(Qt::Key_Backspace);
    Key(Qt::Key_Backspace);
    EXPECT_EQ(browser_->PathWithSeparator(), files_.path() + "/");
    EXPECT_EQ(Cell(Current(), 0), "sub");

    ASSERT_TRUE(browser_->OpenFolderPath("/"));
    EXPECT_EQ(browser_->PathWithSeparator(), "/");
    Key(Qt::Key_Backspace);
    EXPECT_EQ(browser_->PathWithSeparator(), "");
    ASSERT_GE(model_->rowCount(), 1);
    EXPECT_EQ(Cell(0, 0), "文件系统");
    EXPECT_EQ(Current(), 0);
    Key(Qt::Key_Backspace);
    EXPECT_EQ(browser_->PathWithSeparator(), "");
    Key(Qt::Key_Return);  // a volume opens its root
    EXPECT_EQ(browser_->PathWithSeparator(), "/");
    EXPECT_TRUE(prompt_.Texts().empty());
}

TEST_F(FileBrowserTest, aFolderThatCannotBeOpenedKeepsTheListing) {
    WriteBytes(files_ / "a.wav", "");
    ASSERT_TRUE(browser_->OpenFolderPath(files_.path()));
    EXPECT_FALSE(browser_->OpenFolderPath(files_ / "gone"));
    EXPECT_EQ(prompt_.Texts(), std::vector<std::string>{"No such file or directory."});
    EXPECT_EQ(browser_->PathWithSeparator(), files_.path() + "/");
    EXPECT_EQ(Cell(0, 0), "a.wav");
}

TEST_F(FileBrowserTest, dropsFromTheBrowserAndFromOtherPrograms) {
    ASSERT_TRUE(rig::MakeTone(files_ / "song.wav", 150, 440));  // 2444 bytes: 2KB in the browser's units
    WriteBytes(files_ / "twin", "");
    ASSERT_TRUE(rig::MakeTone(files_ / "twin.wav", 100, 440));
    WriteBytes(files_ / "notes.txt", "");
    audiotest::Track t;
    t.Event(0, {0x90, 60, 100});
    t.Event(96, {0x80, 60, 0});
    t.End(0);
    audiotest::WriteBytes(files_ / "tune.mid", audiotest::Smf(0, 96, {t}));
    ASSERT_TRUE(browser_->OpenFolderPath(files_.path()));
    // notes.txt, song.wav, tune.mid, twin, twin.wav
    const list::ProgrammingList& list = form_->Workspace().list;
    DropSelected(1);
    ASSERT_EQ(list.UsedCount(), 1);
    EXPECT_EQ(list.Cell(1, list::kColName), "song.wav");
    EXPECT_EQ(list.Cell(1, list::kColSize), "2KB");
    EXPECT_EQ(list.Cell(1, list::kColPath), files_.path() + "/song.wav");
    DropSelected(3);
    ASSERT_EQ(list.UsedCount(), 2);
    EXPECT_EQ(list.Cell(2, list::kColPath), files_.path() + "/twin.wav");
    DropSelected(0);
    EXPECT_EQ(list.UsedCount(), 2);

    auto* outside = new QMimeData;
    outside->setUrls({QUrl::fromLocalFile(QString::fromStdString(files_ / "tune.mid")),
                      QUrl::fromLocalFile(QString::fromStdString(files_ / "notes.txt")),
                      QUrl("https://example.com/x.wav")});
    Drop(outside);
    ASSERT_EQ(list.UsedCount(), 3);
    EXPECT_EQ(list.Cell(3, list::kColPath), files_.path() + "/tune.mid");
    EXPECT_EQ(list.Cell(3, list::kColLength), "500");
    EXPECT_TRUE(prompt_.Texts().empty());

    // A file without sound is refused with its name and the reason.
    WriteBytes(files_ / "zero.wav", "");
    auto* empty = new QMimeData;
    empty->setUrls({QUrl::fromLocalFile(QString::fromStdString(files_ / "zero.wav"))});
    Drop(empty);
    EXPECT_EQ(list.UsedCount(), 3);
    EXPECT_EQ(prompt_.Texts(),
              std::vector<std::string>{"测不出'zero.wav'的播放长度，不能加入编程列表！\n不是能够解码的音频文件"});
}
