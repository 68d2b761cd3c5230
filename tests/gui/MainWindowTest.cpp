#include "gui/MainWindow.h"

#include "aaserver/OfferedBlockWriter.h"
#include "autoaddon/AutoAddonPeer.h"
#include "central/CentralPeer.h"
#include "common/GameCodePage.h"
#include "gameserver/GameServerPeer.h"
#include "gui/BrowserDialog.h"
#include "gui/ConfigurationDialog.h"
#include "gui/GuiTestSupport.h"
#include "gui/ManagerWindow.h"
#include "gui/MissingFilesDialog.h"
#include "gui/NewsPicture.h"
#include "lang/LanguageLoader.h"
#include "peers/HttpPeer.h"
#include "platform/HostLookup.h"
#include "servers/SettingsFile.h"
#include "support/Loopback.h"
#include "support/MasterPeerProcess.h"
#include "support/SigningKey.h"
#include "support/TempFolder.h"
#include "support/ZipWriter.h"

#include <QBuffer>
#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTabWidget>
#include <QTreeView>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <functional>
#include <future>
#include <sys/stat.h>
#include <unistd.h>

using namespace garrison;
using namespace garrison::gui;
using test::waitFor;
using test::whenModalOpens;

namespace {

class MainWindowTest : public ::testing::Test {
protected:
    MainWindowTest()
    {
        temp.write("game/FLASHPOINTRESISTANCE.EXE", "");
        // The game "starts" through a runner that does nothing.
        temp.write("garrison-linux.conf", "runner = true\n");
        settings.options.gameFolder = temp / "game/";
        settings.options.autoAddonEnabled = false;
    }

    MainWindow &open(const std::string &languageFile = "/nonexistent/garrisonlanguage.ini",
                     const std::function<void(MainWindow &)> &beforeStart = {})
    {
        EXPECT_TRUE(SettingsFile::save(settings, temp / "garrison.sav"));
        language = std::make_unique<LanguageTable>(loadLanguageTable(languageFile));
        MainStart start;
        start.folder = temp.path();
        start.places = {temp / "noprefix", temp / "nohome"};
        start.pollInterval = 100;
        start.programFolder = temp / "program/";
        start.upgradeKey = signingKey.publicKey();
        window = std::make_unique<MainWindow>(*language, sound, start);
        if (beforeStart)
            beforeStart(*window);
        window->show();
        window->initialise();
        return *window;
    }
    // The text a value field or edit shows.
    QString shown(int controlId) const
    {
        QWidget *control = window->control(controlId);
        if (auto *edit = qobject_cast<QLineEdit *>(control))
            return edit->text();
        return qobject_cast<QLabel *>(control)->text();
    }
    template <typename Widget>
    Widget &control(int controlId) const
    {
        auto *widget = qobject_cast<Widget *>(window->control(controlId));
        EXPECT_NE(widget, nullptr) << controlId;
        return *widget;
    }

    // A central server on loopback with this news, and Garrison told to ask it.
    std::unique_ptr<peers::CentralPeer> serveNews(peers::CentralConfig news)
    {
        news.address = test::uniqueLoopbackAddress();
        auto central = std::make_unique<peers::CentralPeer>(news);
        if (!central->start())
            return nullptr;
        temp.write("garrison-linux.conf", "runner = true\ncentral_host = " + dottedAddress(news.address) + "\n");
        return central;
    }

    test::TempFolder temp;
    Settings settings;
    test::RecordingSound sound;
    std::unique_ptr<LanguageTable> language;
    std::unique_ptr<MainWindow> window;
    test::SigningKey signingKey;
};

ServerEntry networkEntry(const std::string &address, const std::string &name)
{
    ServerEntry entry;
    entry.address = address;
    entry.name = name;
    return entry;
}

std::unique_ptr<peers::GameServerPeer> startServer(std::uint32_t address, int equalModRequired)
{
    peers::GameServerConfig config;
    config.address = address;
    config.players = {{"Alice", "5", "1", 0, -1}, {"Bob", "2", "3", 0, -1}};
    config.equalModRequired = equalModRequired;
    auto server = std::make_unique<peers::GameServerPeer>(config);
    EXPECT_TRUE(server->start());
    return server;
}

TEST_F(MainWindowTest, TheSelectedServerShowsWithItsPlayers)
{
    const auto address = test::uniqueLoopbackAddress();
    const auto server = startServer(address, 0);
    settings.servers = {networkEntry(dottedAddress(address) + ":2302", "Club")};
    settings.selectedIndex = 0;
    open();
    ASSERT_TRUE(waitFor([&] { return control<QTreeWidget>(1028).topLevelItemCount() == 2; }));
    EXPECT_EQ(shown(1001), "Garrison loopback server");
    EXPECT_EQ(shown(1002), "CTF Eden");
    EXPECT_EQ(shown(1024), "eden");
    EXPECT_EQ(shown(1015), "Playing");
    EXPECT_EQ(shown(1014), "2/32"); // the info answer's maximum
    const QTreeWidgetItem *alice = control<QTreeWidget>(1028).topLevelItem(0);
    EXPECT_EQ(alice->text(0), "Alice");
    EXPECT_EQ(alice->text(1), "5");
    EXPECT_EQ(alice->text(2), "1");
    // A screen reader reads each value with its label.
    EXPECT_EQ(window->control(1002)->accessibleName(), "Current mission");
    EXPECT_EQ(window->control(1024)->accessibleName(), "Map");
    EXPECT_EQ(window->control(1015)->accessibleName(), "Status");
}

// The longest game state fits its field whole, at the window's first size.
TEST_F(MainWindowTest, TheLongestStateIsNotCut)
{
    const auto address = test::uniqueLoopbackAddress();
    peers::GameServerConfig config;
    config.address = address;
    config.states = {{0, 4}};
    peers::GameServerPeer server(config);
    ASSERT_TRUE(server.start());
    settings.servers = {networkEntry(dottedAddress(address) + ":2302", "Club")};
    settings.selectedIndex = 0;
    open();
    ASSERT_TRUE(waitFor([&] { return shown(1015) == "Editing mission"; }));
    auto &status = control<QLineEdit>(1015);
    QStyleOptionFrame frame;
    frame.initFrom(&status);
    const QRect room = status.style()->subElementRect(QStyle::SE_LineEditContents, &frame, &status);
    EXPECT_GE(room.width(), status.fontMetrics().horizontalAdvance(status.text()) + 4)
        << room.width() << " pixels for " << status.text().toStdString();
}

// A list the command line wrote in the chosen code page reads the same in the window.
TEST_F(MainWindowTest, TheServerListInTheChosenCodePage)
{
    temp.write("garrison-linux.conf", "runner = true\ncode_page = Windows-1251\n");
    settings.servers = {networkEntry("10.0.0.7:2302", "\xd1\xe5\xf0\xe2\xe5\xf0 \xc8\xe2\xe0\xed")};
    open();
    EXPECT_EQ(window->findChild<QComboBox *>("serverList")->itemText(0), QString::fromUtf8("Сервер Иван"));
    window.reset();
    selectGameCodePage("Windows-1252");
}

TEST_F(MainWindowTest, LocalEntriesAndBadAddressesPollNothing)
{
    ServerEntry local = networkEntry("", "Single player");
    local.local = true;
    settings.servers = {local, networkEntry("10.0.0.1:70000", "Broken")};
    settings.selectedIndex = 0;
    open();
    EXPECT_EQ(shown(1001), "Local server");
    EXPECT_EQ(shown(1037), "<local/single player>");
    EXPECT_FALSE(window->controller().monitoring());
    control<QComboBox>(1027).setCurrentIndex(1);
    EXPECT_EQ(shown(1001), "Bad address error: the port must be a number from 1 to 65535, not 70000");
    EXPECT_EQ(shown(1037), "10.0.0.1:70000");
    EXPECT_FALSE(window->controller().monitoring());
}

// Escape does not end Garrison and Enter in the server list plays nothing;
// a focused button still takes Enter.
TEST_F(MainWindowTest, EscapeAndEnterNeitherCloseNorPlay)
{
    ServerEntry local = networkEntry("", "Single player");
    local.local = true;
    settings.servers = {local};
    settings.selectedIndex = 0;
    open();
    QWidget *list = window->control(1027);
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Escape);
    QTest::keyClick(list, Qt::Key_Return);
    QTest::keyClick(list, Qt::Key_Enter, Qt::KeypadModifier);
    QApplication::processEvents();
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(window->isMinimized());

    bool asked = false;
    whenModalOpens<QDialog>([&](QDialog &dialog) {
        asked = true;
        dialog.reject();
    });
    auto &add = control<QPushButton>(1018);
    add.setFocus();
    QTest::keyClick(&add, Qt::Key_Return);
    EXPECT_TRUE(asked) << "Enter on a focused button presses it";
    EXPECT_TRUE(window->isVisible());
}

TEST_F(MainWindowTest, AddEditAndDelThroughTheSetupDialog)
{
    open();
    whenModalOpens([](QWidget &dialog) {
        dialog.findChild<QLineEdit *>("addressEdit")->setText(" 10.9.8.7:2302 ");
        QTest::mouseClick(dialog.findChild<QPushButton *>("okButton"), Qt::LeftButton);
    });
    QTest::mouseClick(&control<QPushButton>(1018), Qt::LeftButton);
    auto &servers = control<QComboBox>(1027);
    ASSERT_EQ(servers.count(), 1);
    EXPECT_EQ(servers.itemText(0), "10.9.8.7:2302"); // named after its address
    EXPECT_EQ(shown(1037), "10.9.8.7:2302");

    whenModalOpens([](QWidget &dialog) {
        auto *description = dialog.findChild<QLineEdit *>("descEdit");
        EXPECT_TRUE(description->isEnabled()) << "an edited entry's name can be typed";
        description->setText("My club");
        dialog.findChild<QLineEdit *>("passwordEdit")->setText("secret");
        QTest::mouseClick(dialog.findChild<QPushButton *>("okButton"), Qt::LeftButton);
    });
    QTest::mouseClick(&control<QPushButton>(1026), Qt::LeftButton);
    EXPECT_EQ(servers.itemText(0), "My club");
    EXPECT_EQ(shown(1038), "secret");

    whenModalOpens([](QWidget &dialog) {
        dialog.findChild<QLineEdit *>("descEdit")->setText("Never kept");
        QTest::mouseClick(dialog.findChild<QPushButton *>("cancelButton"), Qt::LeftButton);
    });
    QTest::mouseClick(&control<QPushButton>(1026), Qt::LeftButton);
    EXPECT_EQ(servers.itemText(0), "My club");

    QTest::mouseClick(&control<QPushButton>(1033), Qt::LeftButton);
    EXPECT_EQ(servers.count(), 0);
    EXPECT_EQ(shown(1037), "");
    EXPECT_EQ(shown(1038), "");
    EXPECT_EQ(shown(1001), "");
}

TEST_F(MainWindowTest, TheAlarmBoxPreviewsTheAlarm)
{
    open();
    auto &alarm = control<QCheckBox>(1044);
    QTest::mouseClick(&alarm, Qt::LeftButton);
    EXPECT_TRUE(alarm.isChecked());
    QTest::mouseClick(&alarm, Qt::LeftButton);
    EXPECT_EQ(sound.played, std::vector<int>{161});
}

TEST_F(MainWindowTest, TheEqualModQuestionDecidesThePlay)
{
    const auto address = test::uniqueLoopbackAddress();
    const auto server = startServer(address, 1);
    ServerEntry entry = networkEntry(dottedAddress(address) + ":2302", "Club");
    entry.manualMods = "finmod";
    settings.servers = {entry};
    settings.selectedIndex = 0;
    open();
    ASSERT_TRUE(waitFor([&] { return shown(1015) == "Playing"; }));

    const auto answer = [&](const char *button) {
        bool asked = false;
        whenModalOpens([&](QWidget &dialog) {
            asked = dialog.objectName() == "EqualModDialog";
            QTest::mouseClick(dialog.findChild<QPushButton *>(button), Qt::LeftButton);
        });
        QTest::mouseClick(&control<QPushButton>(1016), Qt::LeftButton);
        return asked;
    };
    EXPECT_TRUE(answer("cancelButton"));
    EXPECT_FALSE(window->isMinimized()) << "cancel starts nothing";
    EXPECT_EQ(SettingsFile::read(temp / "garrison.sav").settings.servers.at(0).manualMods, "finmod");

    EXPECT_TRUE(answer("forceButton"));
    EXPECT_TRUE(waitFor([&] { return window->isMinimized(); })) << "force connect starts the game";
    EXPECT_EQ(SettingsFile::read(temp / "garrison.sav").settings.servers.at(0).manualMods, "finmod");

    window->showNormal();
    EXPECT_TRUE(answer("acceptButton"));
    const ServerEntry saved = SettingsFile::read(temp / "garrison.sav").settings.servers.at(0);
    EXPECT_TRUE(saved.loadServerMods);
    EXPECT_FALSE(saved.automaticModSelection);
    EXPECT_EQ(saved.manualMods, "");
}

TEST_F(MainWindowTest, ALanguageFileChangesTextsAndToolTips)
{
    temp.write("garrisonlanguage.ini", "DSTR_MAIN_ADD \"Hinzuf\xC3\xBCgen\"\n"
                                       "DSTR_MAIN_ADD_TT \"Einen Server von Hand eintragen\"\n"
                                       "DSTR_MAIN_PLAYERS \"Spieler\"\n"
                                       "DSTR_LINUX_CONFIG_TAB \"Unter Linux\"\n");
    open(temp / "garrisonlanguage.ini");
    EXPECT_EQ(control<QPushButton>(1018).text(), QString::fromUtf8("Hinzuf\xC3\xBCgen"));
    EXPECT_EQ(control<QPushButton>(1018).toolTip(), "Einen Server von Hand eintragen");
    // What the file leaves out stays English.
    EXPECT_EQ(control<QPushButton>(1041).toolTip(), "Garrison and Auto-Addon configuration");
    EXPECT_EQ(window->findChild<QGroupBox *>("playersGroup")->title(), "Spieler");
    EXPECT_EQ(window->control(1028)->accessibleName(), "Spieler") << "what a screen reader says, too";
    // The Linux edition's own texts come from the same table.
    QString linuxTab;
    whenModalOpens<ConfigurationDialog>([&](ConfigurationDialog &dialog) {
        linuxTab = dialog.findChild<QTabWidget *>("pages")->tabText(1);
        dialog.reject();
    });
    QTest::mouseClick(&control<QPushButton>(1041), Qt::LeftButton);
    EXPECT_EQ(linuxTab, "Unter Linux");
    EXPECT_TRUE(window->control(1037)->toolTip().isEmpty()) << "a value field has no tool tip";
}

TEST_F(MainWindowTest, ALongFirstScanShowsItsProgressAndSkipEndsIt)
{
    settings.options.autoAddonEnabled = true;
    temp.write("game/AddOns/a.pbo", "a");
    temp.write("game/AddOns/m/in.pbo", "in");
    QString firstRunText;
    whenModalOpens([&](QWidget &box) {
        auto *message = qobject_cast<QMessageBox *>(&box);
        ASSERT_NE(message, nullptr);
        firstRunText = message->text();
        message->accept();
    });
    // The scan waits before AddOns/m until Skip was pressed.
    std::promise<void> skipped;
    auto released = skipped.get_future().share();
    open("/nonexistent/garrisonlanguage.ini", [&](MainWindow &opened) {
        opened.controller().database().observeProgress([released](const std::string &text) {
            if (text.ends_with("AddOns/m"))
                released.wait_for(std::chrono::seconds(60));
        });
    });
    EXPECT_TRUE(firstRunText.startsWith("This is the first time you run Garrison"));

    QWidget *progress = nullptr;
    ASSERT_TRUE(waitFor([&] {
        progress = window->findChild<QDialog *>("ScanProgressDialog");
        return progress && progress->isVisible();
    }));
    ASSERT_TRUE(waitFor([&] { return progress->findChild<QLabel *>("progressText")->text().contains("AddOns"); }));
    EXPECT_EQ(progress->windowTitle(), "Auto-Addon file scanner, please wait");
    QTest::mouseClick(progress->findChild<QPushButton *>("skipButton"), Qt::LeftButton);
    skipped.set_value();
    ASSERT_TRUE(waitFor([&] { return !window->findChild<QDialog *>("ScanProgressDialog"); }));
    ASSERT_TRUE(waitFor([&] { return window->controller().database().aborted(); }));
    EXPECT_FALSE(window->controller().databaseReady());
}

TEST_F(MainWindowTest, ConfigurationOkSavesBothFilesAndAsksForARestart)
{
    temp.write("garrison-linux.conf", "# chosen by hand\nrunner = true\nlater_key = 1\nmaster_key = Zm4x2P\n");
    temp.write("game2/FLASHPOINTRESISTANCE.EXE", "");
    open();
    test::whenModalOpens<ConfigurationDialog>([&](ConfigurationDialog &dialog) {
        EXPECT_EQ(dialog.findChild<QLineEdit *>("runnerEdit")->text(), "true");
        EXPECT_FALSE(dialog.findChild<QCheckBox *>("resetBox")->isEnabled()) << "no scanned database to reset";
        EXPECT_TRUE(dialog.findChild<QCheckBox *>("disableAutoAddonBox")->isChecked());
        dialog.findChild<QLineEdit *>("pathEdit")->setText(QString::fromStdString(temp / "game2"));
        dialog.findChild<QCheckBox *>("noMapBox")->click();
        dialog.findChild<QLineEdit *>("runnerEdit")->setText("proton run");
        auto *codePages = dialog.findChild<QComboBox *>("codePageBox");
        EXPECT_EQ(codePages->currentText(), "Windows-1252 (Western European)");
        codePages->setCurrentIndex(codePages->findText("Windows-1251 (Cyrillic)"));
        dialog.findChild<QLineEdit *>("centralEdit")->setText(" news.example:48200 ");
        dialog.findChild<QLineEdit *>("mastersEdit")->setText("m1.example, m2.example:28910");
        QTest::mouseClick(dialog.findChild<QPushButton *>("okButton"), Qt::LeftButton);
    });
    QTest::mouseClick(&control<QPushButton>(1041), Qt::LeftButton);
    EXPECT_TRUE(window->restartRequested());
    EXPECT_FALSE(window->isVisible());
    const Settings saved = SettingsFile::read(temp / "garrison.sav").settings;
    EXPECT_EQ(saved.options.gameFolder, temp / "game2/");
    EXPECT_TRUE(saved.options.alwaysNoMap);
    EXPECT_FALSE(saved.options.autoAddonEnabled);
    // The master key has no field in the dialog: it is kept as it was.
    EXPECT_EQ(temp.read("garrison-linux.conf"),
              "# chosen by hand\nrunner = proton run\nlater_key = 1\n"
              "master_key = Zm4x2P\ncentral_host = news.example:48200\n"
              "code_page = Windows-1251\nmaster_hosts = m1.example, m2.example:28910\n"
              "wine_prefix = \n");
}

TEST_F(MainWindowTest, MissingPackagesAskBeforeThePlay)
{
    const auto address = test::uniqueLoopbackAddress();
    const auto server = startServer(address, 0);
    OfferedContent offer;
    offer.serverTexts = {"Club", "", "", ""};
    offer.packages = {{"http://127.0.0.1:9/tanks.zip", 1000, "Tanks", "", 7, {{"addons\\tanks.pbo", 5, 0x1234}}},
                      {"http://127.0.0.1:9/extra.zip", 1000, "Extra", "", 1, {{"addons\\extra.pbo", 5, 0x1235}}},
                      {"http://127.0.0.1:9/maps.zip", 1000, "Maps", "", 4, {{"addons\\maps.pbo", 5, 0x1236}}}};
    const auto block = writeOfferedBlock(offer);
    peers::AutoAddonConfig addon;
    addon.address = address;
    addon.list.assign(block.begin(), block.end());
    peers::AutoAddonPeer addonServer(addon);
    ASSERT_TRUE(addonServer.start());
    settings.options.autoAddonEnabled = true;
    temp.write("garrison.dat", ""); // no first-run message: an empty database to start from
    settings.servers = {networkEntry(dottedAddress(address) + ":2302", "Club")};
    settings.selectedIndex = 0;
    open();
    auto &manager = control<QPushButton>(1021);
    ASSERT_TRUE(waitFor([&] { return manager.isEnabled() && manager.text() == "Download"; }));

    const auto play = [&](const char *button) {
        QString asked;
        test::whenModalOpens<MissingFilesDialog>([&](MissingFilesDialog &dialog) {
            asked = dialog.windowTitle();
            // The needed ones are named; the optional one is not.
            EXPECT_TRUE(dialog.findChild<QLabel *>("message")->text().endsWith("\n\n\u2022 Tanks\n\u2022 Maps"))
                << dialog.findChild<QLabel *>("message")->text().toStdString();
            QTest::mouseClick(dialog.findChild<QPushButton *>(button), Qt::LeftButton);
        });
        QTest::mouseClick(&control<QPushButton>(1016), Qt::LeftButton);
        return asked;
    };
    EXPECT_EQ(play("cancelButton"), "Auto-Addon warning");
    EXPECT_FALSE(window->isMinimized());

    // The Manager opens on what the server offers; closing it starts nothing.
    QString managerHeading;
    test::whenModalOpens<ManagerWindow>([&](ManagerWindow &dialog) {
        managerHeading = dialog.findChild<QLabel *>("heading")->text();
        dialog.accept();
    });
    EXPECT_EQ(play("managerButton"), "Auto-Addon warning");
    ASSERT_TRUE(waitFor([&] { return !managerHeading.isEmpty(); }));
    EXPECT_EQ(managerHeading, "Auto-Addon Server");
    EXPECT_FALSE(window->isMinimized());

    EXPECT_EQ(play("forceButton"), "Auto-Addon warning");
    EXPECT_TRUE(waitFor([&] { return window->isMinimized(); })) << "force connect starts the game";
}

// A 1x1 GIF of two frames, black for delay 0 and white for 5 hundredths.
std::string twoFrameGif()
{
    const std::string header("GIF89a\x01\x00\x01\x00\x80\x00\x00"
                             "\x00\x00\x00\xFF\xFF\xFF",
                             19);
    const std::string loop("\x21\xFF\x0B"
                           "NETSCAPE2.0\x03\x01\x00\x00\x00",
                           19);
    const auto frame = [](char delay, char lzw) {
        return std::string("\x21\xF9\x04\x00", 4) + delay + std::string("\x00\x00\x00", 3) +
               std::string("\x2C\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02", 12) + lzw + std::string("\x01\x00", 2);
    };
    return header + loop + frame(0, '\x44') + frame(5, '\x4C') + "\x3B";
}

TEST_F(MainWindowTest, NewsShowsItsAnimatedBannerAndBlinkingUpgradeText)
{
    peers::HttpPeer web;
    peers::HttpPeer::Route banner;
    banner.body = twoFrameGif();
    web.route("/banner.gif", banner);
    peers::CentralConfig news;
    news.pictureUrl = web.url("/banner.gif");
    news.newsText = "Garrison 1.23 is out";
    news.link = "http://127.0.0.1:1/garrison123.ozp";
    const auto central = serveNews(news);
    ASSERT_TRUE(central);
    open();

    auto &picture = *window->findChild<NewsPicture *>("picture");
    ASSERT_TRUE(waitFor([&] { return picture.frameCount() == 2; }));
    EXPECT_TRUE(window->findChild<QGroupBox *>("newsGroup")->isVisible());
    EXPECT_EQ(picture.size(), QSize(1, 1));
    // Each frame stays its own time: delay 0 for 100 ms, delay 5 for 50 ms.
    for (const int frame : {1, 0, 1}) {
        ASSERT_TRUE(waitFor([&] { return picture.currentFrame() == frame; })) << frame;
        EXPECT_EQ(picture.currentInterval(), frame == 0 ? 100 : 50);
        EXPECT_EQ(picture.pixmap().toImage().pixelColor(0, 0), frame == 0 ? QColor(Qt::black) : QColor(Qt::white));
    }
    auto &link = control<QPushButton>(1022);
    EXPECT_TRUE(link.isVisible());
    // An upgrade offer blinks: the caption is empty one tick in four.
    ASSERT_TRUE(waitFor([&] { return link.text().isEmpty(); }));
    ASSERT_TRUE(waitFor([&] { return link.text() == "Garrison 1.23 is out"; }));
}

QByteArray pngOf(QSize size)
{
    // One bit a pixel: a huge picture costs the test little.
    QImage image(size, QImage::Format_Mono);
    image.fill(1);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// News of any size leaves the window its size: the text on one elided line,
// whole in the tool tip; a large banner scaled down, a huge one not decoded.
TEST_F(MainWindowTest, HugeNewsNeverDecidesTheWindowsSize)
{
    peers::HttpPeer web;
    peers::HttpPeer::Route picture;
    picture.body = pngOf(QSize(1200, 300)).toStdString();
    web.route("/banner.png", picture);
    peers::CentralConfig news;
    news.pictureUrl = web.url("/banner.png");
    std::string text;
    for (int line = 0; line < 200; ++line)
        text += "Line " + std::to_string(line) + " of the longest news ever sent\n";
    news.newsText = text;
    news.link = "http://127.0.0.1:1/news.html";
    const auto central = serveNews(news);
    ASSERT_TRUE(central);
    open();
    const QSize before = window->size();
    auto &link = control<QPushButton>(1022);
    auto &area = *window->findChild<NewsPicture *>("picture");
    ASSERT_TRUE(waitFor([&] { return area.frameCount() == 1 && link.isVisible() && !link.text().isEmpty(); }));
    QApplication::processEvents();
    EXPECT_EQ(area.size(), QSize(600, 150)) << "scaled down to fit, its proportions kept";
    EXPECT_FALSE(link.text().contains('\n'));
    EXPECT_LE(link.width(), link.fontMetrics().averageCharWidth() * 70);
    EXPECT_TRUE(link.toolTip().startsWith("Line 0 of the longest news ever sent Line 1"));
    EXPECT_TRUE(link.toolTip().contains("Line 199"));
    EXPECT_LE(window->width(), std::max(before.width(), 1300));
    EXPECT_LE(window->height(), std::max(before.height(), 1000));

    // 7000 x 4500 pixels: refused from its header, without decoding a pixel.
    EXPECT_TRUE(NewsPicture::decode(pngOf(QSize(7000, 4500))).empty());
    EXPECT_TRUE(NewsPicture::decode(pngOf(QSize(2000, 2000))).size() == 1) << "four million pixels still show";
}

// The desktop's opener, replaced by one that records what it is asked to open.
class RecordingOpener final : public QObject {
    Q_OBJECT

public:
    explicit RecordingOpener(const QStringList &schemes) : m_schemes(schemes)
    {
        for (const auto &scheme : m_schemes)
            QDesktopServices::setUrlHandler(scheme, this, "open");
    }
    ~RecordingOpener() override
    {
        for (const auto &scheme : m_schemes)
            QDesktopServices::unsetUrlHandler(scheme);
    }
    QStringList opened;

public slots:
    void open(const QUrl &url) { opened << url.toString(); }

private:
    QStringList m_schemes;
};

TEST_F(MainWindowTest, AHostileNewsLinkNeverReachesTheOpenerAndTheTipNamesIt)
{
    RecordingOpener opener({"file", "http", "https", "smb", "steam"});
    peers::CentralConfig news;
    news.pictureUrl = "http://127.0.0.1:1/banner.gif"; // the link shows with the news picture
    news.newsText = "Free maps";
    news.link = "file:///etc/passwd";
    const auto central = serveNews(news);
    ASSERT_TRUE(central);
    open();
    auto &link = control<QPushButton>(1022);
    ASSERT_TRUE(waitFor([&] { return link.isVisible(); }));
    ASSERT_TRUE(waitFor([&] { return link.toolTip().endsWith("\nfile:///etc/passwd"); }))
        << link.toolTip().toStdString();
    QString refusal;
    whenModalOpens<QMessageBox>([&](QMessageBox &box) {
        refusal = box.text();
        box.accept();
    });
    QTest::mouseClick(&link, Qt::LeftButton);
    EXPECT_EQ(refusal, "Garrison opens only http and https links. This one is not opened: file:///etc/passwd");
    EXPECT_TRUE(opener.opened.isEmpty()) << opener.opened.join(",").toStdString();
}

TEST_F(MainWindowTest, TheBrowserListsTheCentralServersAndTakesOne)
{
    peers::CentralConfig config;
    config.address = test::uniqueLoopbackAddress();
    config.entries = {{0x0a00000a, 2302, 7, 1, "Evening coop"}, {0x0b00000a, 2402, 3, 0, "CTI"}};
    peers::CentralPeer central(config);
    ASSERT_TRUE(central.start());
    temp.write("garrison-linux.conf", "runner = true\ncentral_host = " + dottedAddress(config.address) + "\n");
    settings.servers = {networkEntry("10.0.0.99:2302", "Known")};
    open();

    whenModalOpens<BrowserDialog>([&](BrowserDialog &dialog) {
        auto &list = *dialog.findChild<QTreeWidget *>("serverList");
        ASSERT_TRUE(waitFor([&] { return list.topLevelItemCount() == 1; }));
        EXPECT_EQ(list.topLevelItem(0)->text(0), "Evening coop");
        dialog.findChild<QCheckBox *>("flashpointBox")->click();
        ASSERT_EQ(list.topLevelItemCount(), 2);
        EXPECT_EQ(list.topLevelItem(1)->text(1), "3");
        EXPECT_EQ(list.topLevelItem(1)->text(2), "10.0.0.11:2402");
        auto *select = dialog.findChild<QPushButton *>("selectButton");
        EXPECT_FALSE(select->isEnabled());
        list.setCurrentItem(list.topLevelItem(1));
        EXPECT_TRUE(select->isEnabled());
        QTest::mouseClick(select, Qt::LeftButton);
    });
    QTest::mouseClick(&control<QPushButton>(1035), Qt::LeftButton);
    auto &servers = control<QComboBox>(1027);
    ASSERT_EQ(servers.count(), 2);
    EXPECT_EQ(servers.currentText(), "10.0.0.11:2402");
    EXPECT_EQ(shown(1037), "10.0.0.11:2402");
}

TEST_F(MainWindowTest, TheBrowsersInternetPageListsTheMastersServersAndTakesOne)
{
    const auto address = test::uniqueLoopbackAddress();
    const std::string host = dottedAddress(address);
    std::vector<std::unique_ptr<peers::GameServerPeer>> games;
    for (const auto &[port, name, players] : {std::tuple{2402, "Quiet", 0}, std::tuple{2404, "Busy", 3}}) {
        peers::GameServerConfig config;
        config.address = address;
        config.gamePort = static_cast<std::uint16_t>(port);
        config.name = name;
        for (int i = 0; i < players; ++i)
            config.players.push_back({"P" + std::to_string(i), "0", "0", 0, -1});
        games.push_back(std::make_unique<peers::GameServerPeer>(config));
        ASSERT_TRUE(games.back()->start());
    }
    test::MasterPeerProcess master({"--bind", host, "--port", "28900", "--range", host + ":2403:2"});
    ASSERT_TRUE(master.listening());
    temp.write("garrison-linux.conf", "runner = true\nmaster_hosts = " + host + "\n");
    open();

    whenModalOpens<BrowserDialog>([&](BrowserDialog &dialog) {
        auto &sources = *dialog.findChild<QTabWidget *>("sources");
        EXPECT_FALSE(sources.isTabEnabled(0)) << "no central server";
        EXPECT_EQ(sources.tabText(sources.currentIndex()), "Internet");
        auto &list = *dialog.findChild<QTreeView *>("internetList");
        ASSERT_TRUE(waitFor([&] { return list.model()->rowCount() == 2; }, 20000));
        const auto cell = [&](int row, InternetColumn column) {
            return list.model()->index(row, static_cast<int>(column)).data().toString();
        };
        EXPECT_EQ(cell(0, InternetColumn::Name), "Busy") << "the fullest first";
        EXPECT_EQ(cell(0, InternetColumn::Players), "3/32");
        list.sortByColumn(static_cast<int>(InternetColumn::Name), Qt::DescendingOrder);
        EXPECT_EQ(cell(0, InternetColumn::Name), "Quiet");
        auto *select = dialog.findChild<QPushButton *>("selectButton");
        EXPECT_FALSE(select->isEnabled());
        list.selectionModel()->select(list.model()->index(1, 0),
                                      QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        EXPECT_TRUE(select->isEnabled());
        QTest::mouseClick(select, Qt::LeftButton);
    });
    QTest::mouseClick(&control<QPushButton>(1035), Qt::LeftButton);
    EXPECT_EQ(control<QComboBox>(1027).currentText().toStdString(), host + ":2404");
}

TEST_F(MainWindowTest, AnUpgradeLinkStagesTheSignedArchiveAndHandsOverToTheSetupProgram)
{
    // A setup program that only notes how it was started; the rename makes the note appear whole.
    temp.write("program/garrisonsetup", "#!/bin/sh\nhere=\"$(dirname \"$0\")\"\n"
                                        "echo \"$@\" > \"$here/setup-args.part\"\n"
                                        "mv \"$here/setup-args.part\" \"$here/setup-args.txt\"\n");
    std::filesystem::permissions(temp / "program/garrisonsetup", std::filesystem::perms::owner_all);
    const std::string archive =
        test::zipBytes({{"garrison-release.txt", "version = 9.0\n"}, {"garrison", "the new program"}});
    peers::HttpPeer web;
    peers::HttpPeer::Route file;
    file.body = archive;
    web.route("/garrison124.ozp", file);
    file.body = signingKey.sign(archive);
    web.route("/garrison124.ozp.sig", file);
    peers::CentralConfig news;
    news.newsText = "Garrison 1.24 is out";
    news.pictureUrl = web.url("/none.gif");
    news.link = web.url("/garrison124.ozp");
    const auto central = serveNews(news);
    ASSERT_TRUE(central);
    open();

    auto &link = control<QPushButton>(1022);
    ASSERT_TRUE(waitFor([&] { return link.isVisible() && !link.text().isEmpty(); }));
    std::string restartText;
    whenModalOpens<QMessageBox>([&](QMessageBox &box) {
        restartText = box.text().toStdString();
        box.accept();
    });
    QTest::mouseClick(&link, Qt::LeftButton);
    EXPECT_FALSE(window->control(1027)->isEnabled()) << "no input while the upgrade runs";
    ASSERT_TRUE(waitFor([&] { return !window->isVisible(); }));
    EXPECT_EQ(restartText, "Garrison will now restart");
    EXPECT_EQ(temp.read("program/.garrison-upgrade/garrison"), "the new program");
    ASSERT_TRUE(waitFor([&] { return std::filesystem::exists(temp / "program/setup-args.txt"); }));
    EXPECT_EQ(temp.read("program/setup-args.txt"),
              "--wait " + std::to_string(QCoreApplication::applicationPid()) + " --from " + (temp / "program/") +
                  ".garrison-upgrade/ --to " + (temp / "program/") + " --in " +
                  QDir(QString::fromStdString(temp.path())).absolutePath().toStdString() + " --start " +
                  QCoreApplication::applicationFilePath().toStdString() + "\n");
    EXPECT_FALSE(std::filesystem::exists(temp / "garrison.ozp"));
}

} // namespace

#include "MainWindowTest.moc"
