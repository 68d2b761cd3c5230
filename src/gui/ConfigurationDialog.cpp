#include "gui/ConfigurationDialog.h"

#include "gui/QtText.h"
#include "ui_ConfigurationDialog.h"

#include <QFileDialog>
#include <QFileInfo>

namespace garrison::gui {

ConfigurationDialog::ConfigurationDialog(const LanguageTable &language, const Configuration &values, bool canReset,
                                         QWidget *parent)
    : CToolTipDialog(language, parent), m_ui(std::make_unique<Ui::ConfigurationDialog>())
{
    m_ui->setupUi(this);
    initialiseToolTips();
    m_ui->pages->setTabText(0, text("DSTR_CONFIG_TITLE"));
    m_ui->resetBox->setEnabled(canReset);
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
    m_ui->runnerEdit->setText(QString::fromStdString(values.linuxSettings.runner));
    m_ui->prefixEdit->setText(QString::fromStdString(values.linuxSettings.winePrefix));
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
    values.linuxSettings.runner = m_ui->runnerEdit->text().trimmed().toStdString();
    values.linuxSettings.winePrefix = m_ui->prefixEdit->text().trimmed().toStdString();
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
