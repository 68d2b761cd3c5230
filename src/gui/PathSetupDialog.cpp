#include "gui/PathSetupDialog.h"

#include "gui/QtText.h"
#include "ui_PathSetupDialog.h"

#include <QFileDialog>
#include <QFileInfo>

namespace garrison::gui {

namespace {

constexpr int kPollMs = 100;

} // namespace

PathSetupDialog::PathSetupDialog(const LanguageTable &language, std::vector<std::string> searchRoots, QWidget *parent)
    : CToolTipDialog(language, parent), m_ui(std::make_unique<Ui::PathSetupDialog>()), m_search(std::move(searchRoots))
{
    m_ui->setupUi(this);
    initialiseToolTips();
    connect(m_ui->browseButton, &QPushButton::clicked, this, &PathSetupDialog::browse);
    connect(m_ui->searchButton, &QPushButton::clicked, this, &PathSetupDialog::searchOrStop);
    connect(m_ui->okButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_ui->cancelButton, &QPushButton::clicked, this, &PathSetupDialog::reject);
    connect(&m_timer, &QTimer::timeout, this, &PathSetupDialog::poll);
    m_timer.start(kPollMs);
}

PathSetupDialog::~PathSetupDialog() = default;

void PathSetupDialog::browse()
{
    const QString filter =
        text("DSTR_PATH_FILETYPE") + QStringLiteral(" (OPERATIONFLASHPOINT.EXE FLASHPOINTRESISTANCE.EXE VBS1.BAT "
                                                    "OperationFlashpoint.exe FlashpointResistance.exe vbs1.bat "
                                                    "ColdWarAssault.exe *.exe *.EXE *.bat *.BAT)");
    const QString file = QFileDialog::getOpenFileName(this, windowTitle(), QString(), filter);
    if (file.isEmpty())
        return;
    m_folder = QFileInfo(file).absolutePath().toStdString();
    if (!m_folder.ends_with('/'))
        m_folder += '/';
    m_ui->folderEdit->setText(QString::fromStdString(m_folder));
    m_ui->okButton->setEnabled(true);
    m_ui->cancelButton->setEnabled(false);
}

void PathSetupDialog::searchOrStop()
{
    if (m_search.searching()) {
        m_search.stop();
        return;
    }
    m_ui->browseButton->setEnabled(false);
    m_ui->cancelButton->setEnabled(false);
    m_ui->okButton->setEnabled(false);
    m_ui->searchButton->setText(text("DSTR_PATH_STOP"));
    m_folder.clear();
    m_searchHandled = false;
    m_search.start();
}

void PathSetupDialog::poll()
{
    if (m_search.searching()) {
        m_ui->folderEdit->setText(QString::fromStdString(m_search.statusText()));
        return;
    }
    if (m_searchHandled)
        return;
    m_searchHandled = true;
    m_folder = m_search.foundFolder();
    m_ui->folderEdit->setText(QString::fromStdString(m_folder));
    m_ui->cancelButton->setEnabled(m_folder.empty());
    m_ui->browseButton->setEnabled(true);
    m_ui->okButton->setEnabled(true);
    m_ui->searchButton->setText(text("DSTR_PATH_SEARCH"));
}

void PathSetupDialog::reject()
{
    m_search.stopAndWait();
    CToolTipDialog::reject();
}

} // namespace garrison::gui
