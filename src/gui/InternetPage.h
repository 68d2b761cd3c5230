#pragma once

#include "app/InternetBrowser.h"
#include "gui/InternetServerModel.h"

#include <QWidget>

#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTreeView;

namespace garrison::gui {

// The browser's "Internet" page: the servers the masters list, with their
// filters, a refresh with progress, and a double-click that selects.
class InternetPage final : public QWidget {
    Q_OBJECT

public:
    InternetPage(InternetBrowser &browser, QWidget *parent = nullptr);

    // The address of the selected row; empty when none is.
    std::string selectedAddress() const;
    // The dialog's timer: progress, and the rows of an ended run.
    void poll();

signals:
    void selectionChanged();
    void chosen();

private:
    void applyFilter();
    void showProgress();

    InternetBrowser &m_browser;
    InternetServerModel m_model;
    QComboBox *m_game;
    QCheckBox *m_notFull;
    QCheckBox *m_notEmpty;
    QCheckBox *m_noPassword;
    QLineEdit *m_version;
    QLineEdit *m_mod;
    QLineEdit *m_search;
    QTreeView *m_list;
    QPushButton *m_refresh;
    QProgressBar *m_progress;
    QLabel *m_status;
};

} // namespace garrison::gui
