#include "gui/ManagerWindow.h"

#include "addondb/ModRecommendation.h"
#include "autoaddon/OfferedModel.h"
#include "gui/DownloadDialog.h"
#include "gui/LongJob.h"
#include "gui/ManagerListModel.h"
#include "gui/PackageDialog.h"
#include "gui/QtText.h"
#include "servers/ModList.h"
#include "ui_ManagerWindow.h"

#include <QDesktopServices>
#include <QHeaderView>
#include <QMenu>
#include <QMessageBox>
#include <QShortcut>
#include <QUrl>

#include <algorithm>

namespace garrison::gui {

namespace {

constexpr int kButtonIds[ManagerModel::kButtons] = {1047, 1050, 1052, 1054, 1059, 1061};

} // namespace

ManagerWindow::ManagerWindow(const LanguageTable &language, AddonDatabase &database, ServerEntry *entry,
                             ManagerView firstView, ManagerPlace place, QWidget *parent)
    : CToolTipDialog(language, parent), m_ui(std::make_unique<Ui::ManagerWindow>()), m_database(database),
      m_entry(entry), m_place(std::move(place)), m_model(database, language, m_place.databaseFile)
{
    m_ui->setupUi(this);
    initialiseToolTips();
    setWindowFlags(windowFlags() | Qt::WindowMaximizeButtonHint);

    m_list = new ManagerListModel(m_model, this);
    m_ui->list->setModel(m_list);
    m_ui->list->header()->setSectionsClickable(true);
    connect(m_ui->list->header(), &QHeaderView::sectionClicked, this, [this](int section) {
        const auto column = static_cast<std::size_t>(section);
        if (column < m_list->columns().size() && m_list->columns()[column].sortable) {
            const auto kept = m_model.keysOf(selectedRows());
            m_model.sort(column);
            refresh(kept);
        }
    });
    connect(m_ui->list, &QTreeView::doubleClicked, this, [this] {
        if (m_model.view() == ManagerView::Server) {
            m_model.toggleFlags(selectedRows());
            refresh();
        }
    });
    connect(m_ui->list, &QWidget::customContextMenuRequested, this, &ManagerWindow::contextMenu);
    auto *invert = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_I), m_ui->list);
    connect(invert, &QShortcut::activated, this, [this] {
        const auto chosen = selectedRows();
        std::vector<std::size_t> inverted;
        for (std::size_t row = 0; row < m_model.rows().size(); ++row) {
            if (!std::binary_search(chosen.begin(), chosen.end(), row))
                inverted.push_back(row);
        }
        selectRows(inverted);
    });

    m_ui->tabs->setExpanding(false);
    for (const char *label : {"DSTR_MANAGER_TAB_AASERVER", "DSTR_MANAGER_TAB_PACKAGES", "DSTR_MANAGER_TAB_ADVANCED"})
        m_ui->tabs->addTab(text(label));
    connect(m_ui->tabs, &QTabBar::currentChanged, this,
            [this](int tab) { showView(static_cast<ManagerView>(std::clamp(tab, 0, 2))); });
    connect(m_ui->packageSelector, &QComboBox::activated, this, [this](int choice) {
        m_model.choosePackage(choice);
        refresh();
    });
    for (std::size_t i = 0; i < ManagerModel::kButtons; ++i)
        connect(static_cast<QPushButton *>(control(kButtonIds[i])), &QPushButton::clicked, this,
                [this, i] { button(i); });
    connect(m_ui->downloadButton, &QPushButton::clicked, this, &ManagerWindow::download);
    connect(m_ui->closeButton, &QPushButton::clicked, this, &QDialog::accept);

    // The faces are labels, so a translation may choose its own.
    QFont heading(text("DSTR_MANAGER_HEAD_FONT"));
    heading.setPointSizeF(15);
    m_ui->heading->setFont(heading);
    QFont size(text("DSTR_MANAGER_DLSIZE_FONT"));
    size.setPointSizeF(15);
    m_ui->plannedText->setFont(size);

    const auto &texts = database.offered().serverTexts;
    m_ui->nameEdit->setText(toQt(texts[0]));
    m_ui->infoEdit->setText(toQt(texts[1]));
    m_ui->adminEdit->setText(toQt(texts[2]));
    m_ui->comEdit->setText(toQt(texts[3]));
    for (const auto &choice : installFolderChoices(database, language))
        m_ui->installFolderBox->addItem(toQt(choice));
    m_ui->installExistingBox->setChecked(database.offered().installExistingFiles);
    connect(m_ui->installExistingBox, &QCheckBox::toggled, this,
            [this](bool checked) { m_database.offered().installExistingFiles = checked; });
    m_ui->autoModsBox->setChecked(!entry || entry->automaticModSelection);
    m_ui->autoModsBox->setEnabled(!entry || !entry->local);
    if (entry) {
        m_ui->manualModsEdit->setText(toQt(entry->manualMods));
        if (!database.offered().packages.empty())
            m_ui->autoModsEdit->setText(toQt(recommendMods(database, splitModList(entry->manualMods))));
    }

    connect(&m_timer, &QTimer::timeout, this, &ManagerWindow::tick);
    m_timer.start(1000);
    const QSignalBlocker quiet(m_ui->tabs);
    m_ui->tabs->setCurrentIndex(static_cast<int>(firstView));
    showView(firstView);
    tick();
    resize(760, 560);
}

ManagerWindow::~ManagerWindow() = default;

void ManagerWindow::done(int result)
{
    m_timer.stop();
    m_database.offered().installExistingFiles = m_ui->installExistingBox->isChecked();
    if (m_entry && !m_entry->local)
        m_entry->automaticModSelection = m_ui->autoModsBox->isChecked();
    CToolTipDialog::done(result);
}

std::vector<std::size_t> ManagerWindow::selectedRows() const
{
    std::vector<std::size_t> rows;
    for (const QModelIndex &index : m_ui->list->selectionModel()->selectedRows())
        rows.push_back(static_cast<std::size_t>(index.row()));
    std::sort(rows.begin(), rows.end());
    return rows;
}

void ManagerWindow::selectRows(const std::vector<std::size_t> &rows)
{
    QItemSelection selection;
    const int last = m_list->columnCount() - 1;
    for (const auto row : rows)
        selection.select(m_list->index(static_cast<int>(row), 0), m_list->index(static_cast<int>(row), last));
    m_ui->list->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
}

void ManagerWindow::showView(ManagerView view)
{
    m_model.show(view);
    refresh();
}

void ManagerWindow::refresh()
{
    refresh(m_model.keysOf(selectedRows()));
}

void ManagerWindow::refresh(const std::vector<ManagerRowKey> &selection)
{
    const QSignalBlocker quiet(m_ui->tabs);
    m_ui->tabs->setCurrentIndex(static_cast<int>(m_model.view()));
    m_list->reload();
    // The starting widths, widened where a text would be cut.
    for (std::size_t i = 0; i < m_list->columns().size(); ++i) {
        const int column = static_cast<int>(i);
        m_ui->list->resizeColumnToContents(column);
        m_ui->list->setColumnWidth(column, std::max(m_list->columns()[i].width, m_ui->list->columnWidth(column)));
    }
    m_ui->heading->setText(toQt(m_model.heading()));
    for (std::size_t i = 0; i < ManagerModel::kButtons; ++i) {
        auto *each = static_cast<QPushButton *>(control(kButtonIds[i]));
        const std::string caption = m_model.buttonCaption(i);
        each->setText(toQt(caption));
        each->setVisible(!caption.empty());
    }
    const bool server = m_model.view() == ManagerView::Server;
    m_ui->serverTexts->setVisible(server);
    m_ui->serverControls->setVisible(server);
    m_ui->packageSelector->setVisible(m_model.view() == ManagerView::Advanced);
    if (m_model.view() == ManagerView::Advanced) {
        const QSignalBlocker quietSelector(m_ui->packageSelector);
        m_ui->packageSelector->clear();
        for (const auto &choice : m_model.packageChoices())
            m_ui->packageSelector->addItem(toQt(choice));
        m_ui->packageSelector->setCurrentIndex(m_model.packageChoice());
    }
    m_ui->plannedText->setText(toQt(m_model.plannedDownloadText()));
    m_ui->downloadButton->setEnabled(m_model.anythingFlagged());
    selectRows(m_model.rowsOf(selection));
}

void ManagerWindow::tick()
{
    m_ui->downloadButton->setText(toQt(m_model.downloadCaption(m_flashCounter)));
    m_ui->downloadButton->setEnabled(m_model.anythingFlagged());
    ++m_flashCounter;
}

QString ManagerWindow::toolTipText(int controlId, QWidget &, const QPoint &)
{
    for (std::size_t i = 0; i < ManagerModel::kButtons; ++i) {
        if (kButtonIds[i] == controlId)
            return toQt(m_model.buttonToolTip(i));
    }
    return {}; // the list has none
}

void ManagerWindow::button(std::size_t index)
{
    m_ui->list->setFocus();
    const auto actions = managerActions(m_model.view());
    if (index >= actions.size() || !actions[index].caption)
        return;
    if (actions[index].id == ManagerActionId::BindTo) {
        // The button shows the pop-up menu's sub-menu beneath it.
        if (!selectedRows().empty()) {
            QMenu holder(this);
            QWidget *at = control(kButtonIds[index]);
            bindMenu(holder)->exec(at->mapToGlobal(QPoint(0, at->height())));
        }
        refresh();
        return;
    }
    perform(actions[index]);
}

void ManagerWindow::perform(const ManagerAction &action)
{
    const auto rows = selectedRows();
    switch (action.id) {
    case ManagerActionId::ManualDownload:
        QDesktopServices::openUrl(QUrl(toQt(m_model.manualDownloadUrl(rows))));
        break;
    case ManagerActionId::DeactivatePackages:
        deactivatePackages();
        break;
    case ManagerActionId::EditPackage:
        editPackage();
        break;
    case ManagerActionId::Dissolve:
        dissolve();
        break;
    case ManagerActionId::Uninstall:
        uninstall();
        break;
    case ManagerActionId::SelectChildren:
        selectRows(m_model.childRows(rows));
        return;
    case ManagerActionId::OpenFolder:
        openFolder();
        break;
    case ManagerActionId::BindTo:
        break; // a menu of packages, which the button and the pop-up menu show
    default:
        if (action.longJob)
            command([this, id = action.id, rows] { m_model.perform(id, rows); });
        else
            m_model.perform(action.id, rows);
        break;
    }
    refresh();
}

QMenu *ManagerWindow::bindMenu(QMenu &parent)
{
    QMenu *menu = parent.addMenu(text("DSTR_MANAGER_ADV_POP_BINDTO"));
    connect(menu->addAction(text("DSTR_MANAGER_ADV_POP_BINDTO_NEW")), &QAction::triggered, this,
            &ManagerWindow::newPackage);
    const auto choices = m_model.bindChoices();
    for (std::size_t i = 0; i < choices.size(); ++i) {
        QAction *choice = menu->addAction(toQt(choices[i].first));
        choice->setEnabled(choices[i].second);
        connect(choice, &QAction::triggered, this, [this, i] {
            const auto rows = selectedRows();
            command([this, rows, i] { m_model.bindTo(rows, i); });
        });
    }
    return menu;
}

void ManagerWindow::contextMenu(const QPoint &at)
{
    const auto rows = selectedRows();
    if (rows.empty() || m_model.readOnlyFiles())
        return;
    QMenu menu(this);
    for (const ManagerAction &action : managerActions(m_model.view())) {
        if (!action.popup) {
            bindMenu(menu);
            continue;
        }
        QAction *item = menu.addAction(text(action.popup));
        item->setEnabled(!(action.singleRow && rows.size() > 1));
        connect(item, &QAction::triggered, this, [this, &action] { perform(action); });
    }
    menu.exec(m_ui->list->viewport()->mapToGlobal(at));
}

bool ManagerWindow::ask(const char *textLabel, const char *titleLabel, const QString &prefix)
{
    return QMessageBox::warning(this, text(titleLabel), prefix + text(textLabel), QMessageBox::Yes | QMessageBox::No,
                                QMessageBox::No) == QMessageBox::Yes;
}

void ManagerWindow::deactivatePackages()
{
    const auto rows = selectedRows();
    std::vector<std::size_t> toAsk;
    command([this, rows, &toAsk] { toAsk = m_model.deactivatePackages(rows); });
    for (const auto package : toAsk) {
        const QString name = text("DSTR_MANAGER_PK_DEACT1") + toQt(m_model.packageName(package));
        if (ask("DSTR_MANAGER_PK_DEACT2", "DSTR_MANAGER_PK_DEACT_TITLE", name))
            command([this, package] { m_model.deactivatePackage(package); });
    }
}

void ManagerWindow::editPackage()
{
    // The standard packages keep their names: there is nothing to edit.
    const std::size_t package = m_model.firstEditablePackage(selectedRows());
    if (package == ManagerRow::kNone)
        return;
    PackageDialog dialog(
        language(), "DSTR_NEWPACK_TITLE_EDIT", m_model.packageName(package), m_model.packageComment(package),
        [this, package](const std::string &name, const std::string &comment) {
            PackageNameCheck check = PackageNameCheck::Ok;
            command([&] { check = m_model.editPackage(package, name, comment); });
            return check;
        },
        this);
    dialog.exec();
}

void ManagerWindow::newPackage()
{
    const auto rows = selectedRows();
    PackageDialog dialog(
        language(), "DSTR_NEWPACK_TITLE", {}, {},
        [this, rows](const std::string &name, const std::string &comment) {
            PackageNameCheck check = PackageNameCheck::Ok;
            command([&] { check = m_model.bindToNewPackage(rows, name, comment); });
            return check;
        },
        this);
    dialog.exec();
}

void ManagerWindow::dissolve()
{
    const auto rows = selectedRows();
    if (!rows.empty() && ask("DSTR_MANAGER_PK_WDIS", "DSTR_MANAGER_PK_WDIS_TITLE"))
        command([this, rows] { m_model.dissolve(rows); });
}

void ManagerWindow::uninstall()
{
    const auto rows = selectedRows();
    if (rows.empty() || !ask("DSTR_MANAGER_PK_WUN", "DSTR_MANAGER_PK_WUN_TITLE") ||
        !ask("DSTR_MANAGER_PK_WDEL", "DSTR_MANAGER_PK_WDEL_TITLE"))
        return;
    command([this, rows] { m_model.uninstall(rows); });
}

void ManagerWindow::command(const std::function<void()> &job)
{
    const auto kept = m_model.keysOf(selectedRows());
    runOffTheUiThread(*this, text("DSTR_MANAGER_TITLE") + QStringLiteral(": ") + text("DSTR_LINUX_MANAGER_WORKING"),
                      job);
    refresh(kept);
    const std::string problem = m_model.takeSaveProblem();
    if (!problem.empty())
        QMessageBox::warning(this, text("DSTR_MANAGER_TITLE"), toQt(problem));
}

void ManagerWindow::openFolder()
{
    const std::string folder = m_model.folderToOpen(selectedRows());
    if (!folder.empty())
        QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(folder)));
}

void ManagerWindow::download()
{
    const auto redirect = installRedirectFor(fromQt(m_ui->installFolderBox->currentText()), language());
    if (!redirect) {
        QMessageBox::warning(this, text("DSTR_MANAGER_AA_INVFOL_TITLE"), text("DSTR_MANAGER_AA_INVFOL"));
        return;
    }
    m_database.offered().installRedirect = *redirect;
    m_database.offered().installExistingFiles = m_ui->installExistingBox->isChecked();
    std::vector<DownloadEngine::Outcome> outcomes;
    {
        DownloadDialog dialog(language(), m_database, m_place.workFolder, m_place.allowFileUrls, this);
        dialog.exec();
        outcomes = dialog.outcomes();
    }
    QStringList problems;
    for (const auto &outcome : outcomes) {
        if (!outcome.installed)
            problems << toQt(outcome.package) + QStringLiteral(": ") + toQt(outcome.problem);
    }
    command([this] { m_model.downloaded(); });
    if (!problems.isEmpty())
        QMessageBox::warning(this, text("DSTR_DOWNLOAD_TITLE"), problems.join(QLatin1Char('\n')));
}

} // namespace garrison::gui
