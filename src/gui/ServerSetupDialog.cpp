#include "gui/ServerSetupDialog.h"

#include "gui/QtText.h"
#include "ui_ServerSetupDialog.h"

#include <QCursor>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>

namespace garrison::gui {

namespace {

int selectedRow(const QTreeWidget &list)
{
    QTreeWidgetItem *item = list.currentItem();
    return item && item->isSelected() ? list.indexOfTopLevelItem(item) : -1;
}

void fill(QTreeWidget &list, const std::vector<std::string> &names, int selected)
{
    list.clear();
    for (const auto &name : names)
        list.addTopLevelItem(new QTreeWidgetItem(QStringList{toQt(name)}));
    if (selected >= 0 && selected < list.topLevelItemCount())
        list.setCurrentItem(list.topLevelItem(selected));
}

} // namespace

ServerSetupDialog::ServerSetupDialog(const LanguageTable &language, ServerSetupInputs inputs, const ServerEntry &entry,
                                     std::string gameFolder, QWidget *parent)
    : CToolTipDialog(language, parent), m_ui(std::make_unique<Ui::ServerSetupDialog>()),
      m_setup(std::move(inputs), entry), m_gameFolder(std::move(gameFolder))
{
    m_ui->setupUi(this);
    initialiseToolTips();
    showValues();

    connect(m_ui->networkButton, &QRadioButton::clicked, this, [this] {
        takeTexts();
        m_setup.setLocal(false);
        showEnabling();
    });
    connect(m_ui->localButton, &QRadioButton::clicked, this, [this] {
        takeTexts();
        m_setup.setLocal(true);
        showEnabling();
    });
    connect(m_ui->addressEdit, &QLineEdit::textEdited, this, [this] {
        m_setup.addressEdited();
        showEnabling();
    });
    connect(m_ui->autoModBox, &QCheckBox::clicked, this, [this](bool on) {
        m_setup.setAutomaticModSelection(on);
        showEnabling();
    });
    connect(m_ui->loadServerModsBox, &QCheckBox::clicked, this, [this](bool on) {
        m_setup.setLoadServerMods(on);
        showEnabling();
    });
    connect(m_ui->addModButton, &QPushButton::clicked, this, [this] { moveMod(&ServerSetup::add, true); });
    connect(m_ui->availableList, &QTreeWidget::itemDoubleClicked, this, [this] { moveMod(&ServerSetup::add, true); });
    connect(m_ui->removeModButton, &QPushButton::clicked, this, [this] { moveMod(&ServerSetup::remove, false); });
    connect(m_ui->toLoadList, &QTreeWidget::itemDoubleClicked, this, [this] { moveMod(&ServerSetup::remove, false); });
    connect(m_ui->upButton, &QPushButton::clicked, this, [this] { moveMod(&ServerSetup::up, false); });
    connect(m_ui->downButton, &QPushButton::clicked, this, [this] { moveMod(&ServerSetup::down, false); });
    connect(m_ui->autoDetectButton, &QPushButton::clicked, this, [this] {
        m_setup.useAutoDetected();
        showLists();
    });
    connect(m_ui->copyFromButton, &QPushButton::clicked, this, &ServerSetupDialog::copyFrom);
    connect(m_ui->exeBrowseButton, &QPushButton::clicked, this, &ServerSetupDialog::browseExecutable);
    connect(m_ui->folderBrowseButton, &QPushButton::clicked, this, &ServerSetupDialog::browseModFolder);
    connect(m_ui->cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_ui->okButton, &QPushButton::clicked, this, [this] {
        takeTexts();
        m_result = m_setup.result();
        accept();
    });
}

ServerSetupDialog::~ServerSetupDialog() = default;

void ServerSetupDialog::showValues()
{
    const ServerEntry &values = m_setup.values();
    m_ui->networkButton->setChecked(!values.local);
    m_ui->localButton->setChecked(values.local);
    m_ui->descEdit->setText(toQt(values.name));
    m_ui->addressEdit->setText(toQt(values.address));
    m_ui->passwordEdit->setText(toQt(values.password));
    m_ui->paramEdit->setText(toQt(values.startupParameters));
    m_ui->exeEdit->setText(toQt(values.executable));
    showLists();
    showEnabling();
}

void ServerSetupDialog::showLists(int selectedAvailable, int selectedToLoad)
{
    fill(*m_ui->availableList, m_setup.available(), selectedAvailable);
    fill(*m_ui->toLoadList, m_setup.toLoad(), selectedToLoad);
}

void ServerSetupDialog::showEnabling()
{
    const ServerEntry &values = m_setup.values();
    const bool network = m_setup.networkFieldsEnabled();
    m_ui->descEdit->setEnabled(m_setup.descriptionEnabled());
    m_ui->addressEdit->setEnabled(network);
    m_ui->passwordEdit->setEnabled(network);
    m_ui->autoModBox->setEnabled(network);
    m_ui->loadServerModsBox->setEnabled(network);
    m_ui->autoDetectButton->setEnabled(m_setup.autoDetectEnabled());
    m_ui->autoModBox->setChecked(values.automaticModSelection);
    m_ui->loadServerModsBox->setChecked(values.loadServerMods);
}

void ServerSetupDialog::takeTexts()
{
    m_setup.setTexts(fromQt(m_ui->addressEdit->text()), fromQt(m_ui->passwordEdit->text()),
                     fromQt(m_ui->descEdit->text()), fromQt(m_ui->paramEdit->text()), fromQt(m_ui->exeEdit->text()));
}

void ServerSetupDialog::moveMod(int (ServerSetup::*operation)(int), bool fromAvailable)
{
    const int row = selectedRow(fromAvailable ? *m_ui->availableList : *m_ui->toLoadList);
    const int moved = (m_setup.*operation)(row);
    if (moved < 0)
        return;
    // Up and Down stay in the load list; --> and <-- cross over.
    const bool endsInToLoad = operation != &ServerSetup::remove;
    showLists(endsInToLoad ? -1 : moved, endsInToLoad ? moved : -1);
    (endsInToLoad ? m_ui->toLoadList : m_ui->availableList)->setFocus();
}

void ServerSetupDialog::copyFrom()
{
    const auto names = m_setup.copyFromNames();
    if (names.empty())
        return;
    QMenu menu(this);
    for (std::size_t i = 0; i < names.size(); ++i)
        menu.addAction(toQt(names[i]))->setData(static_cast<qulonglong>(i));
    const QAction *chosen = menu.exec(QCursor::pos());
    if (!chosen)
        return;
    m_setup.copyFrom(chosen->data().toULongLong());
    showValues();
}

void ServerSetupDialog::browseExecutable()
{
    const QString filter = text("DSTR_SERVER_EXEFILE") + QStringLiteral(" (*.exe *.EXE)");
    const QString path = QFileDialog::getOpenFileName(this, text("DSTR_SERVER_EXE_BROWSE_TT"),
                                                      QString::fromStdString(m_gameFolder), filter);
    if (!path.isEmpty())
        m_ui->exeEdit->setText(QFileInfo(path).fileName());
}

void ServerSetupDialog::browseModFolder()
{
    const QString folder =
        QFileDialog::getExistingDirectory(this, tr("Select mod folder"), QString::fromStdString(m_gameFolder));
    if (folder.isEmpty())
        return;
    const QString relative = QDir(QString::fromStdString(m_gameFolder)).relativeFilePath(folder);
    // The game loads mods from its own folder only.
    if (relative.isEmpty() || relative == QLatin1String(".") || relative.startsWith(QLatin1String(".."))) {
        QMessageBox::warning(this, windowTitle(), tr("A mod folder must be inside the game folder."));
        return;
    }
    if (m_setup.addFolder(fromQt(QString(relative).replace(QLatin1Char('/'), QLatin1Char('\\')))))
        showLists(-1, static_cast<int>(m_setup.toLoad().size()) - 1);
}

} // namespace garrison::gui
