#include "dialogs/executable_filter.h"

#include <QFile>
#include <QFileSystemModel>

#include "commands/editor_commands.h"

bool ExecutableFilter::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const {
    const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
    if (!files) return true;
    const QModelIndex index = files->index(sourceRow, 0, sourceParent);
    return files->isDir(index) || commands::AcceptEditorPick(QFile::encodeName(files->filePath(index)).toStdString());
}
