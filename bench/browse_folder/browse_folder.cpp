// browse_folder [FOLDER]: makes (or reuses) a folder of 100,000 files and
// prints how long each lister takes to its first correctly sorted paint.
#include <fcntl.h>
#include <malloc.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileSystemModel>
#include <QTimer>
#include <QTreeView>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "file_browser/file_browser.h"
#include "browser/file_entry.h"
#include "file_browser/file_list_model.h"

namespace {

constexpr int kFiles = 100000;

class NoPrompt : public messages::IUserPrompt {
public:
    messages::MsgAnswer Ask(const std::string& text, const std::string&, messages::MsgIcon,
                            messages::MsgButtons) override {
        std::fprintf(stderr, "box: %s\n", text.c_str());
        return messages::MsgAnswer::Ok;
    }
};

void MakeFolder(const std::string& dir) {
    ::mkdir(dir.c_str(), 0755);
    for (int i = 0; i < kFiles; ++i) {
        // Short names stay inside the string object, so the figure is the
        // record's own cost.
        const std::string path = dir + "/t" + std::to_string(i) + (i % 3 ? ".wav" : ".mp3");
        const int fd = ::open(path.c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
        if (fd >= 0) ::close(fd);
    }
}

// Small blocks and the large ones malloc maps on their own.
size_t HeapInUse() {
    const struct mallinfo2 m = mallinfo2();
    return m.uordblks + m.hblkhd;
}

double Ms(const QElapsedTimer& t) { return static_cast<double>(t.nsecsElapsed()) / 1e6; }

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const std::string dir = argc > 1 ? argv[1] : "/tmp/sonmira-browse-100k";
    MakeFolder(dir);
    // Warm the folder into the cache so every lister reads the same way.
    std::system(("ls -f '" + dir + "' > /dev/null").c_str());

    QElapsedTimer t;
    t.start();
    std::system(("ls -v '" + dir + "' > /dev/null").c_str());
    const double ls = Ms(t);

    NoPrompt prompt;
    TFileBrowser browser(prompt);
    QWidget* list = browser.ListView1();
    list->resize(640, 400);
    list->show();
    QApplication::processEvents();
    const size_t heapBefore = HeapInUse();
    t.restart();
    browser.OpenFolderPath(dir);
    browser.CurrentView()->viewport()->repaint();
    const double ours = Ms(t);
    const size_t heapAfter = HeapInUse();
    const size_t entries = browser.Model()->Entries().size();

    QFileSystemModel fsModel;
    QTreeView tree;
    tree.resize(640, 400);
    tree.setModel(&fsModel);
    tree.setSortingEnabled(true);
    tree.sortByColumn(0, Qt::AscendingOrder);
    tree.show();
    QApplication::processEvents();
    t.restart();
    const QModelIndex root = fsModel.setRootPath(QString::fromStdString(dir));
    tree.setRootIndex(root);
    // Sorted when every file is in and the first row is the first name.
    const QString first = QString::fromStdString(browser.Model()->Entries().front().displayName);
    QEventLoop loop;
    QTimer poll;
    poll.setInterval(1);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (fsModel.rowCount(root) == kFiles && fsModel.index(0, 0, root).data().toString() == first) loop.quit();
    });
    QTimer::singleShot(300000, &loop, &QEventLoop::quit);
    poll.start();
    loop.exec();
    tree.viewport()->repaint();
    const double stock = Ms(t);

    std::printf("folder: %s (%zu entries)\n", dir.c_str(), entries);
    std::printf("ours, OpenFolder to first sorted paint:       %8.1f ms\n", ours);
    std::printf("QFileSystemModel in QTreeView, fully sorted:  %8.1f ms (%d rows)\n", stock, fsModel.rowCount(root));
    std::printf("ls -v:                                        %8.1f ms\n", ls);
    std::printf("entries with details fetched:                 %8zu\n", browser.Model()->FetchedCount());
    std::printf("record size (TFileEntry):                     %8zu bytes\n", sizeof(browser::TFileEntry));
    std::printf("heap per entry (records, names, view):        %8.1f bytes\n",
                static_cast<double>(heapAfter - heapBefore) / static_cast<double>(entries));
    return 0;
}
