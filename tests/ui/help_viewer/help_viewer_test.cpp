// The help viewer library libhhctrl.so with the built help file, in this
// process's QApplication, as the program loads and calls it.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QToolButton>
#include <QTreeWidget>

#include "commands/help_command.h"
#include "scripted_prompt.h"

namespace {

const std::string kViewer = SONMIRA_OUT_DIR "/libhhctrl.so";
const std::string kHelpFile = SONMIRA_OUT_DIR "/qv_help.chm";
const QString kFirstPageTitle = "欢迎使用 Sonmira 语音编程器";

commands::HtmlHelpFn Viewer() {
    static void* handle = dlopen(kViewer.c_str(), RTLD_NOW | RTLD_LOCAL);
    return handle ? reinterpret_cast<commands::HtmlHelpFn>(dlsym(handle, "HtmlHelpA")) : nullptr;
}

QWidget* ShownHelpWindow() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == "helpWindow" && w->isVisible()) return w;
    return nullptr;
}

// Clicks the first link to `href` on the page, as a user would.
bool ClickLink(QTextBrowser* page, const QString& href) {
    for (QTextBlock block = page->document()->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.charFormat().anchorHref() != href) continue;
            QTextCursor cursor(page->document());
            cursor.setPosition(fragment.position() + fragment.length() / 2);
            page->setTextCursor(cursor);
            page->ensureCursorVisible();
            QTest::mouseClick(page->viewport(), Qt::LeftButton, {}, page->cursorRect(cursor).center());
            return true;
        }
    }
    return false;
}

class HelpViewer : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(Viewer(), nullptr) << dlerror(); }
    void TearDown() override {
        Viewer()(nullptr, nullptr, 0x12, 0);  // close all
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_EQ(ShownHelpWindow(), nullptr);
    }
};

}  // namespace

TEST_F(HelpViewer, showsTheDefaultTopicWithContentsAndFollowsLinksBackAndForward) {
    auto* window = static_cast<QWidget*>(Viewer()(nullptr, kHelpFile.c_str(), 0, 0));
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    EXPECT_EQ(window->windowTitle(), "Sonmira 帮助");
    auto* page = window->findChild<QTextBrowser*>("helpPage");
    auto* contents = window->findChild<QTreeWidget*>("helpContents");
    auto* back = window->findChild<QToolButton*>("helpBackButton");
    auto* forward = window->findChild<QToolButton*>("helpForwardButton");
    ASSERT_TRUE(page && contents && back && forward);
    EXPECT_EQ(page->documentTitle(), kFirstPageTitle);
    EXPECT_FALSE(back->isEnabled());

    // The contents tree from the sitemap, on the page shown.
    ASSERT_EQ(contents->topLevelItemCount(), 7);
    EXPECT_EQ(contents->topLevelItem(0)->text(0), "欢迎使用");
    EXPECT_EQ(contents->topLevelItem(6)->text(0), "故障排除");
    EXPECT_EQ(contents->topLevelItem(2)->childCount(), 5);
    ASSERT_NE(contents->currentItem(), nullptr);
    EXPECT_EQ(contents->currentItem()->text(0), "欢迎使用");

    // The page's picture comes out of the help file.
    const QVariant picture = page->loadResource(QTextDocument::ImageResource, QUrl("images/main_window.png"));
    EXPECT_FALSE(QImage::fromData(picture.toByteArray()).isNull());

    ASSERT_TRUE(ClickLink(page, "quickstart.html"));
    EXPECT_EQ(page->documentTitle(), "快速入门");
    EXPECT_EQ(contents->currentItem()->text(0), "快速入门");

    QTest::mouseClick(back, Qt::LeftButton);
    EXPECT_EQ(page->documentTitle(), kFirstPageTitle);
    QTest::mouseClick(forward, Qt::LeftButton);
    EXPECT_EQ(page->documentTitle(), "快速入门");

    // A click in the contents tree shows its topic.
    QTreeWidgetItem* trouble = contents->topLevelItem(6);
    QTest::mouseClick(contents->viewport(), Qt::LeftButton, {}, contents->visualItemRect(trouble).center());
    EXPECT_EQ(page->documentTitle(), "故障排除");

    // Asked again, the same window comes back on the default topic.
    EXPECT_EQ(Viewer()(nullptr, kHelpFile.c_str(), 0, 0), window);
    EXPECT_EQ(page->documentTitle(), kFirstPageTitle);
}

TEST_F(HelpViewer, aHelpFileThatCannotBeOpenedIsReportedByTheWindowNotByTheProgram) {
    QTemporaryDir programDir;
    ASSERT_TRUE(programDir.isValid());
    const QString folder = programDir.path() + "/";

    // The help command with the real viewer and no help file beside the program.
    ScriptedPrompt ui{messages::MsgAnswer::Ok};
    EXPECT_TRUE(commands::OpenHelpFile(ui, folder.toStdString(), kViewer));
    EXPECT_TRUE(ui.Boxes().empty());
    QWidget* window = ShownHelpWindow();
    ASSERT_NE(window, nullptr);
    auto* page = window->findChild<QTextBrowser*>("helpPage");
    auto* contents = window->findChild<QTreeWidget*>("helpContents");
    auto* home = window->findChild<QToolButton*>("helpHomeButton");
    ASSERT_TRUE(page && contents && home);
    EXPECT_EQ(page->documentTitle(), "无法打开帮助文件");
    EXPECT_EQ(page->toPlainText(), "无法打开帮助文件\n帮助文件“" + folder +
                                       "qv_help.chm”无法打开：该文件不存在。\n"
                                       "请确认程序文件夹中有完整的 qv_help.chm。");
    EXPECT_EQ(contents->topLevelItemCount(), 0);
    EXPECT_FALSE(home->isEnabled());

    // A file that is there but is no help file.
    QFile junk(folder + "qv_help.chm");
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("not a help file");
    junk.close();
    EXPECT_TRUE(commands::OpenHelpFile(ui, folder.toStdString(), kViewer));
    EXPECT_TRUE(ui.Boxes().empty());
    EXPECT_TRUE(page->toPlainText().contains("qv_help.chm”无法打开：该文件无法读取，或不是有效的帮助文件。"))
        << page->toPlainText().toStdString();

    // The real file in the same window.
    EXPECT_EQ(Viewer()(nullptr, kHelpFile.c_str(), 0, 0), window);
    EXPECT_EQ(page->documentTitle(), kFirstPageTitle);
    EXPECT_GT(contents->topLevelItemCount(), 0);
    EXPECT_TRUE(home->isEnabled());
}
