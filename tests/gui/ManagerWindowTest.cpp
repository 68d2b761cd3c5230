#include "gui/ManagerWindow.h"

#include "addondb/DatabaseFile.h"
#include "addondb/OfferedBlock.h"
#include "addondb/ScannerFixture.h"
#include "autoaddon/OfferedModel.h"
#include "gui/GuiTestSupport.h"
#include "peers/HttpPeer.h"
#include "peers/OfferedBlockWriter.h"
#include "platform/FileSystem.h"
#include "support/ZipWriter.h"

#include <QMessageBox>
#include <QPushButton>
#include <QTabBar>
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
    // Packages of one add-on each, the zips served at /NAME.zip unless missing.
    void offer(const std::vector<std::pair<std::string, bool>> &packages)
    {
        peers::OfferedContent content;
        content.serverTexts = {"Club", "Coop", "admin@example.org", ""};
        for (const auto &[name, served] : packages) {
            const std::string addon = "add-on " + name;
            const std::string zip = test::zipBytes({{name + ".pbo", addon}});
            if (served) {
                peers::HttpPeer::Route route;
                route.body = zip;
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
        const auto block = peers::writeOfferedBlock(content);
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

    test::TempFolder work;
    peers::HttpPeer http;
    std::unique_ptr<ManagerWindow> window;
};

TEST_F(ManagerWindowTest, ADownloadInstallsWhatItCanAndSaysWhyTheRestFailed)
{
    offer({{"tanks", true}, {"gone", false}});
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

} // namespace
