// The rows of a QFileSystemModel a program can be picked from: every folder,
// to walk through, and the files commands::AcceptEditorPick takes (executable for
// the user, or ".exe" in any case), so the browse dialog offers only picks
// the settings command keeps.
#pragma once

#include <QSortFilterProxyModel>

class ExecutableFilter : public QSortFilterProxyModel {
    Q_OBJECT
public:
    explicit ExecutableFilter(QObject* parent = nullptr) : QSortFilterProxyModel(parent) {}

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;
};
