#include "gui/ManagerListModel.h"

#include "gui/ManagerIcons.h"
#include "gui/QtText.h"

namespace garrison::gui {

ManagerListModel::ManagerListModel(ManagerModel &manager, QObject *parent)
    : QAbstractTableModel(parent), m_manager(manager), m_columns(manager.columns()), m_rows(manager.rows())
{
}

void ManagerListModel::reload()
{
    beginResetModel();
    m_columns = m_manager.columns();
    m_rows = m_manager.rows();
    endResetModel();
}

int ManagerListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int ManagerListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
}

QVariant ManagerListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || static_cast<std::size_t>(index.row()) >= m_rows.size())
        return {};
    const ManagerRow &row = m_rows[static_cast<std::size_t>(index.row())];
    const auto column = static_cast<std::size_t>(index.column());
    switch (role) {
    case Qt::DisplayRole:
        return toQt(row.columns[column]);
    case Qt::DecorationRole:
        return column == 0 ? QVariant(managerIcon(row.icon)) : QVariant();
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::AlignVCenter | (m_columns[column].right ? Qt::AlignRight : Qt::AlignLeft));
    default:
        return {};
    }
}

QVariant ManagerListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || static_cast<std::size_t>(section) >= m_columns.size())
        return {};
    const ManagerColumn &column = m_columns[static_cast<std::size_t>(section)];
    if (role == Qt::DisplayRole)
        return toQt(column.title);
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::AlignVCenter | (column.right ? Qt::AlignRight : Qt::AlignLeft));
    return {};
}

} // namespace garrison::gui
