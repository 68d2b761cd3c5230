#include "gui/InternetServerModel.h"

#include "gui/QtText.h"

namespace garrison::gui {

InternetServerModel::InternetServerModel(InternetBrowser &browser, QObject *parent)
    : QAbstractTableModel(parent), m_browser(browser)
{
}

void InternetServerModel::setFilter(const InternetFilter &filter)
{
    m_filter = filter;
    reload();
}

void InternetServerModel::reload()
{
    beginResetModel();
    m_shown = m_browser.visible(m_filter, m_column, m_ascending);
    endResetModel();
}

std::string InternetServerModel::address(int row) const
{
    return row >= 0 && row < rowCount() ? m_browser.rows()[m_shown[static_cast<std::size_t>(row)]].address : "";
}

int InternetServerModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_shown.size());
}

int InternetServerModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(InternetColumn::Count);
}

QVariant InternetServerModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const auto column = static_cast<InternetColumn>(index.column());
    const InternetRow &row = m_browser.rows()[m_shown[static_cast<std::size_t>(index.row())]];
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)
        return toQt(m_browser.cell(row, column));
    if (role == Qt::ToolTipRole && column == InternetColumn::Name)
        return QString::fromStdString(row.address);
    if (role == Qt::TextAlignmentRole && (column == InternetColumn::Players || column == InternetColumn::Ping))
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

QVariant InternetServerModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const char *const kTitles[] = {QT_TR_NOOP("Name"),      QT_TR_NOOP("Players"), QT_TR_NOOP("Map"),
                                          QT_TR_NOOP("Mission"),   QT_TR_NOOP("State"),   QT_TR_NOOP("Ping"),
                                          QT_TR_NOOP("Version"),   QT_TR_NOOP("Mods"),    QT_TR_NOOP("Password"),
                                          QT_TR_NOOP("Auto-Addon")};
    return section >= 0 && section < columnCount() ? tr(kTitles[section]) : QVariant();
}

void InternetServerModel::sort(int column, Qt::SortOrder order)
{
    m_column = static_cast<InternetColumn>(column);
    m_ascending = order == Qt::AscendingOrder;
    reload();
}

} // namespace garrison::gui
