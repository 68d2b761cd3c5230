#include "gui/ManagerWindow.h"

#include "aaserver/OfferedBlockWriter.h"
#include "addondb/DatabaseFile.h"
#include "addondb/OfferedBlock.h"
#include "addondb/ScannerFixture.h"
#include "autoaddon/OfferedModel.h"
#include "gui/GuiTestSupport.h"
#include "peers/HttpPeer.h"
#include "platform/FileSystem.h"
#include "support/ZipWriter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHelpEvent>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTabBar>
#include <QToolTip>
#include <QTreeView>

#include <gtest/gtest.h>

#include <zlib.h>

using namespace garrison;
using namespace garrison::gui;

namespace {

std::uint32_t crcOf(const std::string &content)
{
    return static_cast<std::uint32_t>(
        crc32(0, reinterpret_cast<const Bytef *>(content.data()), static_cast<uInt>(content.size())));
}

class ManagerWindowTest : public ::testing::Test, public test::ScannerFixture {
protected:
    ManagerWindowTest()
    {
        file("OperationFlashpoint.exe", "exe");
        file("AddOns/old.pbo", "old");
        scan();
        database.derive();
    }
    struct Offer {
        std::string name;
        bool served = true;
        std::chrono::milliseconds blockDelay{0};
        std::size_t addonSize = 0; // 0: a short text
    };
    // Packages of one add-on each, the zips served at /NAME.zip unless missing.
    void offer(const std::vector<Offer> &packages)
    {
        OfferedContent content;
        content.serverTexts = {"Club", "Coop", "admin@example.org", ""};
        for (const auto &[name, served, blockDelay, addonSize] : packages) {
            const std::string addon = addonSize ? std::string(addonSize, 's') : "add-on " + name;
            const std::string zip = test::zipBytes({{name + ".pbo", addon, false}});
            if (served) {
                peers::HttpPeer::Route route;
                route.body = zip;
                route.blockDelay = blockDelay;
                http.route("/" + name + ".zip", route);
            }
            content.packages.push_back(
                {http.url("/" + name + ".zip"),
                 static_cast<std::uint32_t>(zip.size()),
                 name,
                 "",
                 7,
                 {{"addons\\" + name + ".pbo", static_cast<std::uint32_t>(addon.size()), crcOf(addon)}}});
        }
        const auto block = writeOfferedBlock(content);
        ASSERT_TRUE(parseOfferedBlock(block, database.offered()));
        evaluateArrivedList(database.offered(), database);
    }
    ManagerWindow &open(ManagerView view)
    {
        window = std::make_unique<ManagerWindow>(language(), database, nullptr, view,
                                                 ManagerPlace{work.path(), work / "garrison.dat", false});
        window->show();
        return *window;
    }
    QStringList column(int index) const
    {
        QStringList texts;
        auto *list = window->findChild<QTreeView *>("list");
        for (int row = 0; row < list->model()->rowCount(); ++row)
            texts << list->model()->index(row, index).data().toString();
        return texts;
    }
    void click(int controlId) { QTest::mouseClick(window->control(controlId), Qt::LeftButton); }
    // Runs act on the next pop-up menu that opens, then closes it.
    void whenMenuOpens(const std::function<void(QMenu &)> &act)
    {
        auto *poll = new QTimer(window.get());
        QObject::connect(poll, &QTimer::timeout, [poll, act] {
            auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
            if (!menu)
                return;
            poll->stop();
            act(*menu);
            menu->close();
        });
        poll->start(10);
    }

    test::TempFolder work;
    peers::HttpPeer http;
    std::unique_ptr<ManagerWindow> window;
};

TEST_F(ManagerWindowTest, ADownloadInstallsWhatItCanAndSaysWhyTheRestFailed)
{
    offer({{"tanks"}, {"gone", false}});
    open(ManagerView::Server);
    EXPECT_EQ(column(0), (QStringList{"tanks", "gone"}));
    EXPECT_EQ(column(2), (QStringList{"No file installed", "No file installed"}));
    EXPECT_TRUE(window->control(1057)->isEnabled());

    QString problems;
    test::whenModalOpens<QMessageBox>([&](QMessageBox &box) {
        problems = box.text();
        box.accept();
    });
    click(1057);
    EXPECT_EQ(problems, "gone: the server answered 404");
    EXPECT_EQ(game.read("AddOns/tanks.pbo"), "add-on tanks");
    EXPECT_EQ(column(2), (QStringList{"Files installed", "No file installed"}));
    EXPECT_TRUE(pathExists(work / "garrison.dat"));

    window->findChild<QTabBar *>("tabs")->setCurrentIndex(1);
    EXPECT_TRUE(column(0).contains("tanks")) << column(0).join(",").toStdString();
}

TEST_F(ManagerWindowTest, CancelDuringADownloadLeavesNoPartialFile)
{
    // A zip of a megabyte in blocks a second apart: plenty of time to cancel.
    offer({{"slow", true, std::chrono::milliseconds(1000), 1 << 20}});
    open(ManagerView::Server);
    test::whenModalOpens<QDialog>([&](QDialog &dialog) {
        auto *name = dialog.findChild<QLabel *>("downloadingName");
        ASSERT_TRUE(test::waitFor([&] { return name->text() == "slow"; }));
        QTest::mouseClick(dialog.findChild<QPushButton *>("cancelButton"), Qt::LeftButton);
    });
    QString problems;
    test::whenModalOpens<QMessageBox>([&](QMessageBox &box) {
        problems = box.text();
        box.accept();
    });
    click(1057);
    EXPECT_TRUE(problems.startsWith("slow: ")) << problems.toStdString();
    EXPECT_FALSE(pathExists(game / "AddOns/slow.pbo"));
    EXPECT_FALSE(pathExists(work / "slow.tmp"));
    EXPECT_EQ(column(2), QStringList{"No file installed"});
}

TEST_F(ManagerWindowTest, ButtonToolTipsFollowTheView)
{
    open(ManagerView::Server);
    const auto tipOf = [&](int controlId) {
        QWidget *button = window->control(controlId);
        QHelpEvent hover(QEvent::ToolTip, QPoint(2, 2), button->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(button, &hover);
        return QToolTip::text();
    };
    EXPECT_EQ(tipOf(1047), "Flag the selected packages for download and install");
    window->findChild<QTabBar *>("tabs")->setCurrentIndex(1);
    EXPECT_EQ(tipOf(1047), "Activate all files in the selected packages allowing them being loaded by OFP");
    EXPECT_EQ(window->control(1040)->toolTip(), "") << "the list has none";
}

TEST_F(ManagerWindowTest, DeactivatingTheCoreFilesAsksFirst)
{
    makePackage("Mine", {"AddOns\\old.pbo"});
    open(ManagerView::Packages);
    ASSERT_EQ(column(0), (QStringList{"<Core files>", "<Unknown files>", "<Unknown addons>", "Mine"}));
    window->selectRows({0, 3});
    QString question;
    test::whenModalOpens<QMessageBox>([&](QMessageBox &box) {
        question = box.text();
        box.button(QMessageBox::No)->click();
    });
    click(1050);
    EXPECT_EQ(question, "Deactivating <Core files> could harm your OFP installation. Are you sure?");
    EXPECT_EQ(node("AddOns\\old.pbo")->status, NodeStatus::Inactive);
    EXPECT_TRUE(pathExists(game / ("AddOns/" + std::string(node("AddOns\\old.pbo")->diskName()))));
    EXPECT_EQ(node("OperationFlashpoint.exe")->status, NodeStatus::Present);
    EXPECT_EQ(column(1)[3], "Inactive");
}

TEST_F(ManagerWindowTest, TheBindMenuOffersTwoHundredPackages)
{
    for (int i = 0; i < 202; ++i)
        makePackage("P" + std::to_string(i), {});
    open(ManagerView::Advanced);
    window->selectRows({1});
    int offered = 0;
    std::vector<bool> enabled;
    whenMenuOpens([&](QMenu &menu) {
        // "<New package>", then the packages.
        offered = static_cast<int>(menu.actions().size()) - 1;
        for (int i = 1; i <= 4; ++i)
            enabled.push_back(menu.actions()[i]->isEnabled());
    });
    click(1059);
    EXPECT_EQ(offered, 200);
    EXPECT_EQ(enabled, (std::vector<bool>{false, false, false, true}));
}

// One table serves the buttons and the pop-up menus: each view's menu, in
// order, with the one-row items greyed while two rows are chosen.
TEST_F(ManagerWindowTest, EachViewsPopUpMenuListsItsActionsInOrder)
{
    offer({{"tanks"}, {"maps"}});
    makePackage("Mine", {"AddOns\\old.pbo"});
    const struct {
        ManagerView view;
        QStringList texts;
        std::vector<bool> enabled;
    } views[] = {
        {ManagerView::Server,
         {"Flag for download", "De-flag from download", "Show files", "Manual download"},
         {true, true, false, true}},
        {ManagerView::Packages,
         {"Activate", "Deactivate", "Edit", "Show files", "Dissolve", "Uninstall"},
         {true, true, false, false, true, true}},
        {ManagerView::Advanced,
         {"Activate", "Deactivate", "Select all children", "Open folder", "Bind to", "Unbind"},
         {true, true, false, false, true, true}},
    };
    for (const auto &view : views) {
        open(view.view);
        window->selectRows({0, 1});
        QStringList texts;
        std::vector<bool> enabled;
        whenMenuOpens([&](QMenu &menu) {
            for (QAction *action : menu.actions()) {
                texts << action->text();
                enabled.push_back(action->isEnabled());
            }
        });
        auto *list = window->findChild<QTreeView *>("list");
        emit list->customContextMenuRequested(QPoint(5, 5));
        EXPECT_EQ(texts, view.texts) << static_cast<int>(view.view);
        EXPECT_EQ(enabled, view.enabled) << static_cast<int>(view.view);
    }
    // An item does what its button does.
    open(ManagerView::Server);
    database.offered().packages[0].flagged = false;
    database.offered().packages[1].flagged = false;
    window->selectRows({0});
    whenMenuOpens([](QMenu &menu) { menu.actions()[0]->trigger(); });
    emit window->findChild<QTreeView *>("list")->customContextMenuRequested(QPoint(5, 5));
    EXPECT_EQ(database.offered().packages[0].flagged + database.offered().packages[1].flagged, 1);
}

// Download, then uninstall (Yes, Yes): the server tab says the file is gone,
// and garrison.dat says so before the window closes.
TEST_F(ManagerWindowTest, AnUninstallShowsOnTheServerTabAndIsSavedAtOnce)
{
    offer({{"tanks"}});
    open(ManagerView::Server);
    click(1057);
    ASSERT_EQ(column(2), QStringList{"Files installed"});

    window->findChild<QTabBar *>("tabs")->setCurrentIndex(1);
    window->selectRows({static_cast<std::size_t>(column(0).indexOf("tanks"))});
    test::whenModalOpens<QMessageBox>([](QMessageBox &first) {
        test::whenModalOpens<QMessageBox>([](QMessageBox &second) { second.button(QMessageBox::Yes)->click(); });
        first.button(QMessageBox::Yes)->click();
    });
    click(1061);
    EXPECT_FALSE(column(0).contains("tanks"));
    EXPECT_FALSE(pathExists(game / "AddOns/tanks.pbo"));

    window->findChild<QTabBar *>("tabs")->setCurrentIndex(0);
    EXPECT_EQ(column(2), QStringList{"No file installed"});
    AddonDatabase saved(language());
    saved.setGameFolder(game.path());
    ASSERT_TRUE(DatabaseFile::load(saved, work / "garrison.dat"));
    for (const auto &package : saved.packages())
        EXPECT_NE(package.name, "tanks");
}

// Bound to the package it is in already: the package still lists it once.
TEST_F(ManagerWindowTest, BindingToTheSamePackageChangesNothing)
{
    makePackage("Mine", {"AddOns\\old.pbo"});
    open(ManagerView::Advanced);
    auto *selector = window->findChild<QComboBox *>("packageSelector");
    selector->setCurrentIndex(4);
    emit selector->activated(4);
    ASSERT_EQ(column(0), QStringList{"old.pbo"});
    window->selectRows({0});
    whenMenuOpens([](QMenu &menu) {
        for (QAction *action : menu.actions()) {
            if (action->text() == "Mine")
                action->trigger();
        }
    });
    click(1059);
    EXPECT_EQ(column(0), QStringList{"old.pbo"});
    EXPECT_EQ(node("AddOns\\old.pbo")->packageCount, 1);
    EXPECT_EQ(window->selectedRows(), std::vector<std::size_t>{0}) << "the selection stays";
}

TEST_F(ManagerWindowTest, InstallExistingFilesIsThePlayersAtOnce)
{
    offer({{"tanks"}});
    open(ManagerView::Server);
    auto *box = window->findChild<QCheckBox *>("installExistingBox");
    ASSERT_TRUE(box->isChecked());
    box->click();
    EXPECT_FALSE(database.offered().installExistingFiles);
    window->reject();
    EXPECT_FALSE(database.offered().installExistingFiles);
}

} // namespace
