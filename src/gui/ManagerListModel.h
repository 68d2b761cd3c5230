#pragma once

#include "app/ManagerModel.h"
#include "lang/LanguageTable.h"

#include <QAbstractTableModel>

namespace garrison::gui {

// The Manager's one list as Qt sees it: a copy of the rows and columns of
// the current view, taken from the core's ManagerModel on reload, so that a
// job refilling the model on another thread is never read half done.
class ManagerListModel final : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit ManagerListModel(ManagerModel &manager, QObject *parent = nullptr);

    // The view was refilled: everything is read again.
    void reload();

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    const std::vector<ManagerColumn> &columns() const { return m_columns; }

private:
    ManagerModel &m_manager;
    std::vector<ManagerColumn> m_columns;
    std::vector<ManagerRow> m_rows;
};

} // namespace garrison::gui
