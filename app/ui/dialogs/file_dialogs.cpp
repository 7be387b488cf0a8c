#include "dialogs/file_dialogs.h"

#include <QFileDialog>
#include <QStringList>

#include "commands/list_commands.h"
#include "commands/project_commands.h"

namespace {

std::optional<std::string> Run(QFileDialog& dialog) {
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().first().toStdString();
}

}  // namespace

QString QtFilter(const std::vector<commands::FileFilter>& filters) {
    QStringList out;
    for (const commands::FileFilter& f : filters) {
        QStringList patterns;
        for (const std::string& p : commands::FilterPatterns(f)) {
            const QString q = QString::fromStdString(p);
            patterns << q;
            if (q != "*.*" && q.toLower() != q) patterns << q.toLower();
            if (q != "*.*" && q.toUpper() != q) patterns << q.toUpper();
        }
        if (patterns.contains("*.*")) patterns = QStringList{"*"};
        out << QString::fromStdString(f.description) + " (" + patterns.join(' ') + ")";
    }
    return out.join(";;");
}

FileDialogs QtFileDialogs(QWidget* owner) {
    FileDialogs d;
    d.openProject = [owner] {
        QFileDialog dialog(owner, QString::fromUtf8(commands::kOpenDialogTitle), QString(),
                           QtFilter(commands::OpenDialogFilters()));
        dialog.setObjectName("OpenDialog1");
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setDefaultSuffix(commands::kOpenDialogDefaultExt);
        return Run(dialog);
    };
    d.saveProject = [owner](const std::string& proposed) {
        QFileDialog dialog(owner, QString(), QString::fromStdString(proposed), QtFilter(commands::SaveDialogFilters()));
        dialog.setObjectName("SaveDialog1");
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(commands::kSaveDialogDefaultExt);
        // The command asks its own question before overwriting.
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
        return Run(dialog);
    };
    d.addFile = [owner] {
        QFileDialog dialog(owner, QString::fromUtf8(commands::kAddDialogTitle), QString(),
                           QtFilter(commands::AddDialogFilters()));
        dialog.setObjectName("OpenDialog2");
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setDefaultSuffix(commands::kAddDialogDefaultExt);
        return Run(dialog);
    };
    return d;
}
