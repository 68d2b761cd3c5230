#include "gui/ConfigurationDialog.h"

#include "gui/QtText.h"
#include "ui_ConfigurationDialog.h"

#include <QFileDialog>
#include <QFileInfo>

#include <utility>

namespace garrison::gui {

namespace {

// The code pages of the Windows editions the game was sold for.
constexpr std::pair<const char *, const char *> kCodePages[] = {
    {"Windows-1252", "DSTR_LINUX_SCRIPT_WESTERN"},  {"Windows-1250", "DSTR_LINUX_SCRIPT_CENTRAL"},
    {"Windows-1251", "DSTR_LINUX_SCRIPT_CYRILLIC"}, {"Windows-1253", "DSTR_LINUX_SCRIPT_GREEK"},
    {"Windows-1254", "DSTR_LINUX_SCRIPT_TURKISH"},  {"Windows-1257", "DSTR_LINUX_SCRIPT_BALTIC"},
};

} // namespace

ConfigurationDialog::ConfigurationDialog(const LanguageTable &language, const Configuration &values, bool canReset,
                                         QWidget *parent)
    : CToolTipDialog(language, parent), m_ui(std::make_unique<Ui::ConfigurationDialog>())
{
    m_ui->setupUi(this);
    initialiseToolTips();
    m_ui->pages->setTabText(0, text("DSTR_CONFIG_TITLE"));
    m_ui->resetBox->setEnabled(canReset);
    for (const auto &[codePage, script] : kCodePages)
        m_ui->codePageBox->addItem(QStringLiteral("%1 (%2)").arg(QLatin1String(codePage), text(script)),
                                   QLatin1String(codePage));
    show(values);
    connect(m_ui->browseButton, &QPushButton::clicked, this, &ConfigurationDialog::browseGame);
    connect(m_ui->prefixBrowseButton, &QPushButton::clicked, this, &ConfigurationDialog::browsePrefix);
    connect(m_ui->okButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_ui->cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

ConfigurationDialog::~ConfigurationDialog() = default;

void ConfigurationDialog::show(const Configuration &values)
{
    m_ui->pathEdit->setText(QString::fromStdString(values.gamePath));
    m_ui->disableAutoAddonBox->setChecked(values.disableAutoAddon);
    m_ui->keepRunningBox->setChecked(values.keepRunningAfterLaunch);
    m_ui->trayBox->setChecked(values.minimiseToTray);
    m_ui->noActivationBox->setChecked(values.noAutomaticActivation);
    m_ui->noMapBox->setChecked(values.alwaysNoMap);
    m_ui->resetBox->setChecked(values.resetDatabase);
    m_linux = values.linuxSettings;
    m_ui->runnerEdit->setText(QString::fromStdString(values.linuxSettings.runner));
    m_ui->prefixEdit->setText(QString::fromStdString(values.linuxSettings.winePrefix));
    // A code page written into the file by hand is offered as it stands.
    const QString codePage = QString::fromStdString(values.linuxSettings.codePage);
    int row = 0;
    while (row < m_ui->codePageBox->count() &&
           m_ui->codePageBox->itemData(row).toString().compare(codePage, Qt::CaseInsensitive) != 0)
        ++row;
    if (row == m_ui->codePageBox->count())
        m_ui->codePageBox->addItem(codePage, codePage);
    m_ui->codePageBox->setCurrentIndex(row);
    m_ui->centralEdit->setText(QString::fromStdString(values.linuxSettings.centralHost));
    m_ui->mastersEdit->setText(QString::fromStdString(values.linuxSettings.masterHosts));
}

Configuration ConfigurationDialog::values() const
{
    Configuration values;
    values.gamePath = m_ui->pathEdit->text().trimmed().toStdString();
    values.disableAutoAddon = m_ui->disableAutoAddonBox->isChecked();
    values.keepRunningAfterLaunch = m_ui->keepRunningBox->isChecked();
    values.minimiseToTray = m_ui->trayBox->isChecked();
    values.noAutomaticActivation = m_ui->noActivationBox->isChecked();
    values.alwaysNoMap = m_ui->noMapBox->isChecked();
    values.resetDatabase = m_ui->resetBox->isChecked();
    values.linuxSettings = m_linux;
    values.linuxSettings.runner = m_ui->runnerEdit->text().trimmed().toStdString();
    values.linuxSettings.winePrefix = m_ui->prefixEdit->text().trimmed().toStdString();
    values.linuxSettings.codePage = m_ui->codePageBox->currentData().toString().toStdString();
    values.linuxSettings.centralHost = m_ui->centralEdit->text().trimmed().toStdString();
    values.linuxSettings.masterHosts = m_ui->mastersEdit->text().trimmed().toStdString();
    return values;
}

void ConfigurationDialog::browseGame()
{
    // The boxes keep what was clicked: the path alone changes.
    const QString filter =
        text("DSTR_CONFIG_PATH_EXE") + QStringLiteral(" (OPERATIONFLASHPOINT.EXE FLASHPOINTRESISTANCE.EXE RB.EXE "
                                                      "OperationFlashpoint.exe FlashpointResistance.exe rb.exe "
                                                      "ColdWarAssault.exe *.exe *.EXE)");
    const QString file = QFileDialog::getOpenFileName(this, text("DSTR_CONFIG_PATH"), m_ui->pathEdit->text(), filter);
    if (!file.isEmpty())
        m_ui->pathEdit->setText(QFileInfo(file).absolutePath() + QLatin1Char('/'));
}

void ConfigurationDialog::browsePrefix()
{
    const QString folder = QFileDialog::getExistingDirectory(this, m_ui->prefixLabel->text(), m_ui->prefixEdit->text());
    if (!folder.isEmpty())
        m_ui->prefixEdit->setText(folder);
}

} // namespace garrison::gui
