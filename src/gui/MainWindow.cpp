#include "gui/MainWindow.h"

#include "addondb/DatabaseFile.h"
#include "app/SetupArguments.h"
#include "common/Version.h"
#include "gui/BrowserDialog.h"
#include "gui/ConfigurationDialog.h"
#include "gui/EqualModDialog.h"
#include "gui/ManagerWindow.h"
#include "gui/MissingFilesDialog.h"
#include "gui/PathSetupDialog.h"
#include "gui/ProgramIcon.h"
#include "gui/QtText.h"
#include "gui/ScanProgressDialog.h"
#include "gui/ServerSetupDialog.h"
#include "monitor/GameStates.h"
#include "platform/Tick.h"
#include "servers/GameStarter.h"
#include "servers/SearchRoots.h"
#include "ui_MainWindow.h"

#include <algorithm>
#include <utility>

#include <QApplication>
#include <QCursor>
#include <QDesktopServices>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QUrl>
#include <QWindow>

namespace garrison::gui {

namespace {

constexpr int kTrayTipLength = 63;
// The news text on the link button: at most this many average characters wide.
constexpr int kLinkCaptionChars = 60;

} // namespace

MainWindow::MainWindow(const LanguageTable &language, SoundOutput &sound, MainStart start, QWidget *parent)
    : CToolTipDialog(language, parent), m_ui(std::make_unique<Ui::MainWindow>()), m_sound(sound)
{
    m_ui->setupUi(this);
    setWindowFlags(Qt::Window | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    initialiseToolTips();
    setWindowTitle(windowTitle() + " " + QString::fromLatin1(kVersionText));
    setWindowIcon(programIcon());
    QHeaderView *header = m_ui->playerList->header();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(0, QHeaderView::Stretch);
    header->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    header->setSectionResizeMode(2, QHeaderView::ResizeToContents);
    m_ui->newsGroup->hide();
    // Room for the longest game state in the language at hand, whatever the font's size.
    int widest = 0;
    for (const auto &state : gameStateTexts(language))
        widest = std::max(widest, m_ui->statusValue->fontMetrics().horizontalAdvance(toQt(state)));
    m_ui->statusValue->setMinimumWidth(widest + 2 * m_ui->statusValue->fontMetrics().averageCharWidth() + 8);

    m_fields = {
        {MonitorField::Description, m_ui->descriptionEdit},
        {MonitorField::Mission, m_ui->missionEdit},
        {MonitorField::ServerType, m_ui->typeValue},
        {MonitorField::LoggedOn, m_ui->loggedOnValue},
        {MonitorField::TimeLeft, m_ui->timeLeftValue},
        {MonitorField::Map, m_ui->mapValue},
        {MonitorField::Param, m_ui->paramValue},
        {MonitorField::Platform, m_ui->platformValue},
        {MonitorField::Version, m_ui->versionValue},
        {MonitorField::RequiredVersion, m_ui->requiredValue},
        {MonitorField::Ping, m_ui->pingValue},
        {MonitorField::Port, m_ui->portValue},
        {MonitorField::Locked, m_ui->lockedValue},
        {MonitorField::Implementation, m_ui->implementationValue},
        {MonitorField::EqualMods, m_ui->equalModsValue},
        {MonitorField::Status, m_ui->statusValue},
        {MonitorField::Elapsed, m_ui->elapsedValue},
        {MonitorField::AutoAddon, m_ui->autoAddonValue},
    };

    m_tray = new QSystemTrayIcon(windowIcon(), this);
    m_tray->setToolTip(text("DSTR_MAIN_TRAY_TOOLTIP").left(kTrayTipLength));
    connect(m_tray, &QSystemTrayIcon::activated, this, [this] { leaveTray(); });

    m_controller = std::make_unique<MainController>(static_cast<MainView &>(*this), language, std::move(start));

    connect(m_ui->serverList, &QComboBox::currentIndexChanged, this, &MainWindow::selectionChanged);
    connect(m_ui->addButton, &QPushButton::clicked, this, &MainWindow::addServer);
    connect(m_ui->editButton, &QPushButton::clicked, this, &MainWindow::editServer);
    connect(m_ui->delButton, &QPushButton::clicked, this, [this] { m_controller->removeSelected(); });
    connect(m_ui->configButton, &QPushButton::clicked, this, &MainWindow::openConfiguration);
    connect(m_ui->managerButton, &QPushButton::clicked, this, &MainWindow::openManagerWindow);
    connect(m_ui->serverModsButton, &QPushButton::clicked, this, &MainWindow::showServerMods);
    connect(m_ui->alarmBox, &QCheckBox::toggled, this, [this](bool on) { m_controller->alarmToggled(on); });
    connect(m_ui->aboutButton, &QPushButton::clicked, this, &MainWindow::showAbout);
    connect(m_ui->playButton, &QPushButton::clicked, this, [this] { m_controller->playNow(); });
    connect(m_ui->closeButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(&m_timer, &QTimer::timeout, this, &MainWindow::tick);
    connect(m_ui->linkButton, &QPushButton::clicked, this, [this] { m_controller->linkClicked(); });
    connect(m_ui->picture, &NewsPicture::clicked, this, [this] { m_controller->bannerClicked(); });
    connect(m_ui->browserButton, &QPushButton::clicked, this, &MainWindow::openBrowserDialog);
}

MainWindow::~MainWindow() = default;

void MainWindow::initialise()
{
    if (!m_controller->initialise())
        QMessageBox::warning(this, windowTitle(), tr("The network could not be opened: no server will be polled."));
    m_timer.start(MonitorCycle::kTickMs);
}

void MainWindow::done(int result)
{
    if (!m_shutDown) {
        m_shutDown = true;
        m_timer.stop();
        m_tray->hide();
        m_controller->shutDown(x(), y());
    }
    CToolTipDialog::done(result);
}

void MainWindow::changeEvent(QEvent *event)
{
    CToolTipDialog::changeEvent(event);
    // Checked at once rather than on the next tick, so the window never lingers in the task bar.
    if (event->type() == QEvent::WindowStateChange && isMinimized() && m_controller->options().minimiseToTray &&
        QSystemTrayIcon::isSystemTrayAvailable())
        QTimer::singleShot(0, this, &MainWindow::hideInTray);
}

void MainWindow::keyPressEvent(QKeyEvent *event)
{
    // QDialog would reject on Escape and press a default button on Enter;
    // a focused button still takes Space, and Enter where it has focus.
    if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
        switch (event->key()) {
        case Qt::Key_Escape:
            event->accept();
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (auto *button = qobject_cast<QPushButton *>(focusWidget()))
                button->click();
            event->accept();
            return;
        default:
            break;
        }
    }
    CToolTipDialog::keyPressEvent(event);
}

void MainWindow::hideInTray()
{
    if (m_inTray || !isMinimized())
        return;
    hide();
    m_inTray = true;
    m_tray->show();
}

void MainWindow::leaveTray()
{
    showNormal();
    raise();
    activateWindow();
    if (m_inTray) {
        m_tray->hide();
        m_inTray = false;
    }
}

void MainWindow::handOver()
{
    leaveTray();
    flashCaption();
}

void MainWindow::tick()
{
    m_controller->tick(tickCount());
    showBannerWhenFetched();
    showBannerWhenDecoded();
}

void MainWindow::selectionChanged(int index)
{
    m_controller->select(index);
}

void MainWindow::addServer()
{
    ServerSetupDialog dialog(language(), m_controller->setupInputs(false), ServerEntry{},
                             m_controller->options().gameFolder, this);
    if (dialog.exec() == QDialog::Accepted)
        m_controller->add(dialog.result());
}

void MainWindow::editServer()
{
    const auto entry = m_controller->selectedEntry();
    if (!entry) {
        addServer();
        return;
    }
    ServerSetupDialog dialog(language(), m_controller->setupInputs(true), *entry, m_controller->options().gameFolder,
                             this);
    if (dialog.exec() == QDialog::Accepted)
        m_controller->edit(dialog.result());
}

void MainWindow::showServerMods()
{
    const auto mods = m_controller->serverMods();
    if (mods.empty())
        return;
    QMenu menu(this);
    for (const auto &mod : mods)
        menu.addAction(toQt(mod))->setEnabled(false);
    menu.exec(QCursor::pos());
}

void MainWindow::showAbout()
{
    QMessageBox::about(this, text("DSTR_MAIN_ABOUT"),
                       QStringLiteral("<b>%1 %2</b><p>%3</p>")
                           .arg(text("DSTR_MAIN_TITLE"), QString::fromLatin1(kVersionText),
                                tr("Watches Operation Flashpoint servers, fetches the add-ons they need and starts "
                                   "the game onto them.")));
}

void MainWindow::setFieldText(MonitorField field, const std::string &value)
{
    QLineEdit *edit = m_fields.at(field);
    edit->setText(toQt(value));
    edit->setCursorPosition(0);
}

void MainWindow::setManagerCaption(const std::string &caption)
{
    m_ui->managerButton->setText(toQt(caption));
}

void MainWindow::setLinkCaption(const std::string &caption)
{
    // One line of a bounded width, whatever the server sends; the whole text is in the tool tip.
    QString line = toQt(caption);
    for (QChar &c : line) {
        if (c.isSpace())
            c = QLatin1Char(' ');
    }
    const QFontMetrics metrics = m_ui->linkButton->fontMetrics();
    m_ui->linkButton->setText(metrics.elidedText(line, Qt::ElideRight, metrics.averageCharWidth() * kLinkCaptionChars));
    // The blink empties the caption for a tick; the text stays the same.
    if (!line.isEmpty() && line != m_linkText) {
        m_linkText = line;
        showLinkToolTip();
    }
}

void MainWindow::setLinkTarget(const std::string &link)
{
    m_linkTarget = toQt(link);
    m_ui->picture->setToolTip(m_linkTarget);
    showLinkToolTip();
}

void MainWindow::showLinkToolTip()
{
    // The whole news text, and where a click leads before the player makes it.
    QStringList lines;
    if (!m_linkText.isEmpty())
        lines << m_linkText;
    lines << text("DSTR_MAIN_NEWLINK_TT");
    if (!m_linkTarget.isEmpty())
        lines << m_linkTarget;
    m_ui->linkButton->setToolTip(lines.join(QLatin1Char('\n')));
}

void MainWindow::showLinkButton(bool shown)
{
    m_ui->linkButton->setVisible(shown);
    m_ui->newsGroup->setVisible(shown || m_ui->picture->frameCount() > 0);
}

void MainWindow::startNewsPicture(const std::string &url)
{
    m_banner = std::make_unique<BannerFetch>(url);
}

void MainWindow::showBannerWhenFetched()
{
    if (!m_banner || !m_banner->ended())
        return;
    const auto bytes = m_banner->takeBytes();
    m_banner.reset();
    // Decoded on a thread of its own: a large picture must not freeze the window.
    m_bannerFrames = std::async(std::launch::async, [bytes] {
        return NewsPicture::decode(
            QByteArray(reinterpret_cast<const char *>(bytes.data()), static_cast<qsizetype>(bytes.size())));
    });
}

void MainWindow::showBannerWhenDecoded()
{
    if (!m_bannerFrames.valid() || m_bannerFrames.wait_for(std::chrono::seconds(0)) != std::future_status::ready)
        return;
    // A banner that cannot be fetched or decoded leaves the area as it was.
    if (m_ui->picture->show(m_bannerFrames.get()))
        m_ui->newsGroup->show();
}

void MainWindow::openLink(const std::string &link)
{
    QDesktopServices::openUrl(QUrl(toQt(link)));
}

void MainWindow::enableLaunchBox(bool enabled)
{
    m_ui->launchBox->setEnabled(enabled);
}

bool MainWindow::notifyChecked() const
{
    return m_ui->notifyBox->isChecked();
}

bool MainWindow::launchChecked() const
{
    return m_ui->launchBox->isChecked();
}

bool MainWindow::alarmChecked() const
{
    return m_ui->alarmBox->isChecked();
}

void MainWindow::checkNotifyBox()
{
    m_ui->notifyBox->setChecked(true);
}

void MainWindow::clearAlarmBox()
{
    const QSignalBlocker quiet(m_ui->alarmBox); // no preview when the box is cleared
    m_ui->alarmBox->setChecked(false);
}

void MainWindow::flashCaption()
{
    QApplication::alert(this, 1000);
}

void MainWindow::playSound(int id)
{
    m_sound.play(id);
    // Hidden in the tray, a state change also shows on the desktop.
    if (m_inTray && id != MonitorCycle::kAlarmSound && m_controller->selectedEntry())
        m_tray->showMessage(toQt(m_controller->selectedEntry()->name), m_ui->statusValue->text());
}

void MainWindow::insertPlayerRow(std::size_t index, const std::string &name)
{
    auto *row = new QTreeWidgetItem(QStringList{toQt(name), QString(), QString()});
    row->setTextAlignment(1, Qt::AlignRight);
    row->setTextAlignment(2, Qt::AlignRight);
    m_ui->playerList->insertTopLevelItem(static_cast<int>(index), row);
}

void MainWindow::setPlayerRow(std::size_t index, const std::string &score, const std::string &deaths)
{
    QTreeWidgetItem *row = m_ui->playerList->topLevelItem(static_cast<int>(index));
    row->setText(1, toQt(score));
    row->setText(2, toQt(deaths));
}

void MainWindow::removePlayerRow(std::size_t index)
{
    delete m_ui->playerList->takeTopLevelItem(static_cast<int>(index));
}

void MainWindow::clearPlayers()
{
    m_ui->playerList->clear();
}

void MainWindow::setServerRows(const std::vector<std::string> &names, int selected)
{
    const QSignalBlocker quiet(m_ui->serverList);
    m_ui->serverList->clear();
    for (const auto &name : names)
        m_ui->serverList->addItem(toQt(name));
    m_ui->serverList->setCurrentIndex(selected);
}

void MainWindow::setAddressValue(const std::string &value)
{
    m_ui->addressValue->setText(toQt(value));
}

void MainWindow::setPasswordValue(const std::string &value)
{
    m_ui->passwordValue->setText(toQt(value));
}

void MainWindow::enableManager(bool enabled)
{
    m_ui->managerButton->setEnabled(enabled);
}

void MainWindow::openManagerWindow()
{
    clearLaunchAndAlarm();
    ManagerPlace place;
    place.workFolder = m_controller->file("");
    place.databaseFile = m_controller->file(DatabaseFile::kFileName);
    ManagerWindow manager(language(), m_controller->database(), m_controller->selectedEntryForManager(),
                          m_controller->downloadsWanted() ? ManagerView::Server : ManagerView::Packages, place, this);
    m_controller->managerOpening();
    manager.exec();
    m_controller->managerClosed();
}

void MainWindow::openConfiguration()
{
    ConfigurationDialog dialog(language(), m_controller->configuration(), m_controller->databaseReady(), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (!m_controller->configure(dialog.values()))
        QMessageBox::warning(this, windowTitle(),
                             tr("%1 could not be written.").arg(QString::fromLatin1(LinuxSettings::kFileName)));
    m_restart = true;
    accept();
}

void MainWindow::openBrowserDialog()
{
    const auto browser = m_controller->openBrowser();
    const auto internet = m_controller->openInternetBrowser();
    if (!browser && !internet->hasMasters()) {
        QMessageBox::information(
            this, text("DSTR_AABROWSER_TITLE"),
            tr("No central server and no master server is set. Enter their host names on the Linux page of %1.")
                .arg(m_ui->configButton->text()));
        return;
    }
    BrowserDialog dialog(language(), browser.get(), *internet, this);
    if (dialog.exec() == QDialog::Accepted)
        m_controller->chooseBrowsedServer(dialog.selectedAddress());
}

void MainWindow::upgradeStarted()
{
    // The timer keeps running, so the progress shows on the link button.
    for (QWidget *child : findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        child->setEnabled(false);
}

void MainWindow::upgradeEnded(bool staged, const UpgradePlaces &places)
{
    if (!staged) {
        for (QWidget *child : findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
            child->setEnabled(true);
        return;
    }
    QMessageBox::information(this, text("DSTR_MAIN_RESTART_TITLE"), text("DSTR_MAIN_RESTART_TEXT"));
    const QString programFolder = QString::fromStdString(places.programFolder);
    const SetupArguments setup{QCoreApplication::applicationPid(), places.staging(), places.programFolder,
                               QDir(QString::fromStdString(places.workFolder)).absolutePath().toStdString(),
                               QCoreApplication::applicationFilePath().toStdString()};
    QStringList words;
    for (const auto &word : setupArgumentWords(setup))
        words << QString::fromStdString(word);
    const bool started = QProcess::startDetached(programFolder + QStringLiteral("garrisonsetup"), words, programFolder);
    if (!started) {
        // Closing now would leave the player with no Garrison at all.
        QMessageBox::warning(this, windowTitle(), tr("garrisonsetup could not be started: Garrison stays as it is."));
        upgradeEnded(false, places);
        return;
    }
    accept();
}

void MainWindow::showScanProgress()
{
    if (m_scanDialog)
        return;
    // Opened after this tick, without a nested event loop inside it.
    QTimer::singleShot(0, this, [this] {
        m_scanDialog = new ScanProgressDialog(language(), m_controller->database(), this);
        connect(m_scanDialog, &QDialog::rejected, this, [this] { m_controller->skipScan(); });
        connect(m_scanDialog, &QDialog::finished, this, [this] {
            m_scanDialog->deleteLater();
            m_scanDialog = nullptr;
        });
        m_scanDialog->open();
    });
}

void MainWindow::closeScanProgress()
{
    if (m_scanDialog)
        m_scanDialog->accept();
}

void MainWindow::showFirstRun()
{
    QMessageBox::information(this, text("DSTR_MAIN_FIRSTRUN_TITLE"), text("DSTR_MAIN_FIRSTRUN_TEXT"));
}

void MainWindow::showNotice(const std::string &notice)
{
    QMessageBox::information(this, text("DSTR_MAIN_TITLE"), toQt(notice));
}

std::optional<std::string> MainWindow::askGameFolder(const DiscoveryPlaces &places)
{
    PathSetupDialog dialog(language(), gameSearchRoots(places, systemMounts()), this);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.folder();
}

void MainWindow::moveWindow(std::int32_t left, std::int32_t top)
{
    // The saved place is the frame's. The window exists already but has no
    // frame yet, so move() would put the client area there, a title bar too high.
    if (QWindow *handle = windowHandle())
        handle->setFramePosition(QPoint(left, top));
    else
        move(left, top);
}

LaunchView::EqualModAnswer MainWindow::askEqualMods()
{
    EqualModDialog dialog(language(), this);
    dialog.exec();
    return dialog.answer();
}

LaunchView::MissingAnswer MainWindow::askMissingPackages(const std::vector<std::string> &packages)
{
    MissingFilesDialog dialog(language(), packages, this);
    dialog.exec();
    return dialog.answer();
}

bool MainWindow::confirmMissingMod(const std::string &folder)
{
    return QMessageBox::warning(this, text("DSTR_MISSMOD_TITLE"), toQt(folder) + text("DSTR_MISSMOD_TEXT"),
                                QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok;
}

void MainWindow::openManager()
{
    openManagerWindow();
}

void MainWindow::clearLaunchAndAlarm()
{
    clearLaunchBox();
    clearAlarmBox();
}

void MainWindow::clearLaunchBox()
{
    m_ui->launchBox->setChecked(false);
}

void MainWindow::showError(const std::string &label)
{
    // After a failed start, why: the runner and where it is set.
    const std::string why = std::exchange(m_startProblem, {});
    QMessageBox::warning(this, windowTitle(),
                         toQt(language().Resolve(label)) + (why.empty() ? QString() : ":\n" + toQt(why)));
}

bool MainWindow::start(const std::string &gameFolder, const std::string &executable, const std::string &parameters)
{
    m_startProblem =
        startGame(GameRunner::load(m_controller->file(GameRunner::kFileName)), gameFolder, executable, parameters);
    return m_startProblem.empty();
}

void MainWindow::launched(bool keepRunning)
{
    if (keepRunning)
        showMinimized();
    else
        accept();
}

void MainWindow::settingsChanged()
{
    m_controller->saveSettings();
}

} // namespace garrison::gui
