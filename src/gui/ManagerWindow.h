#pragma once

#include "app/ManagerModel.h"
#include "gui/CToolTipDialog.h"
#include "servers/ServerEntry.h"

#include <QTimer>

#include <functional>
#include <memory>

namespace Ui {
class ManagerWindow;
}

namespace garrison::gui {

class ManagerListModel;

// Where the Manager's downloads go and the database file it saves.
struct ManagerPlace {
    std::string workFolder;   // download temporaries ("" is the working directory)
    std::string databaseFile; // saved after a download
    bool allowFileUrls = false;
};

// The Auto-Addon Manager: what the server offers, the installed packages and
// single files, in one list with three views. Decisions are ManagerModel's.
class ManagerWindow final : public CToolTipDialog {
    Q_OBJECT

public:
    // entry: the selected server entry, or null.
    ManagerWindow(const LanguageTable &language, AddonDatabase &database, ServerEntry *entry, ManagerView firstView,
                  ManagerPlace place, QWidget *parent = nullptr);
    ~ManagerWindow() override;

    std::vector<std::size_t> selectedRows() const;
    void selectRows(const std::vector<std::size_t> &rows);

    void done(int result) override;

protected:
    QString toolTipText(int controlId, QWidget &control, const QPoint &pos) override;

private:
    void showView(ManagerView view);
    // Shows the model's view again, the rows that were selected still selected.
    void refresh();
    void refresh(const std::vector<ManagerRowKey> &selection);
    void tick();
    void button(std::size_t index);
    // What a button or a pop-up item does, then the list refreshed.
    void perform(const ManagerAction &action);
    void contextMenu(const QPoint &at);
    QMenu *bindMenu(QMenu &parent);
    void deactivatePackages();
    void editPackage();
    void newPackage();
    void dissolve();
    void uninstall();
    void openFolder();
    void download();
    // A command that changes the database runs off the UI thread, one at a
    // time; then the view is shown again and a failed save is told.
    void command(const std::function<void()> &job);
    bool ask(const char *textLabel, const char *titleLabel, const QString &prefix = {});

    std::unique_ptr<Ui::ManagerWindow> m_ui;
    AddonDatabase &m_database;
    ServerEntry *m_entry;
    ManagerPlace m_place;
    ManagerModel m_model;
    ManagerListModel *m_list = nullptr;
    QTimer m_timer;
    std::uint32_t m_flashCounter = 0;
};

} // namespace garrison::gui
