#pragma once

#include "app/InternetBrowser.h"

#include <QAbstractTableModel>

namespace garrison::gui {

// The Internet page's list as Qt sees it: the core's rows that pass the
// filter, in the order of the sorted column; no item per row.
class InternetServerModel final : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit InternetServerModel(InternetBrowser &browser, QObject *parent = nullptr);

    void setFilter(const InternetFilter &filter);
    // The browser's rows changed.
    void reload();
    // The address Select hands back for a shown row.
    std::string address(int row) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    void sort(int column, Qt::SortOrder order) override;

private:
    InternetBrowser &m_browser;
    InternetFilter m_filter;
    InternetColumn m_column = InternetColumn::Players;
    bool m_ascending = false;
    std::vector<std::size_t> m_shown;
};

} // namespace garrison::gui
