#include "gui/EqualModDialog.h"
#include "gui/PathSetupDialog.h"
#include "gui/ServerSetupDialog.h"

#include "gui/GuiTestSupport.h"
#include "lang/LanguageLoader.h"
#include "support/TempFolder.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <filesystem>

using namespace garrison;
using namespace garrison::gui;

namespace {

const LanguageTable &english()
{
    static const LanguageTable table = loadLanguageTable("/nonexistent/garrisonlanguage.ini");
    return table;
}

QStringList rows(const QTreeWidget &list)
{
    QStringList names;
    for (int i = 0; i < list.topLevelItemCount(); ++i)
        names << list.topLevelItem(i)->text(0);
    return names;
}

template <typename Widget>
Widget &child(QWidget &dialog, const char *name)
{
    auto *widget = dialog.findChild<Widget *>(name);
    EXPECT_NE(widget, nullptr) << name;
    return *widget;
}

void click(QWidget &dialog, const char *button)
{
    QTest::mouseClick(&child<QPushButton>(dialog, button), Qt::LeftButton);
}

void selectRow(QWidget &dialog, const char *list, int row)
{
    auto &tree = child<QTreeWidget>(dialog, list);
    tree.setCurrentItem(tree.topLevelItem(row));
}

TEST(EqualModDialog, EachButtonGivesItsAnswer)
{
    const struct {
        const char *button;
        LaunchView::EqualModAnswer answer;
        int result;
    } cases[] = {{"acceptButton", LaunchView::EqualModAnswer::Accept, QDialog::Accepted},
                 {"cancelButton", LaunchView::EqualModAnswer::Cancel, QDialog::Rejected},
                 {"forceButton", LaunchView::EqualModAnswer::Force, QDialog::Accepted}};
    for (const auto &c : cases) {
        EqualModDialog dialog(english());
        EXPECT_EQ(dialog.windowTitle(), "EqualModRequired warning");
        test::whenModalOpens([&](QWidget &open) { click(open, c.button); });
        EXPECT_EQ(dialog.exec(), c.result) << c.button;
        EXPECT_EQ(dialog.answer(), c.answer) << c.button;
    }
}

TEST(ServerSetupDialog, ModListsFollowTheButtonsAndOkJoinsThem)
{
    ServerSetupInputs inputs;
    inputs.modFolders = {"zeta", "alpha", "Beta"};
    inputs.editing = true;
    ServerEntry entry;
    entry.address = "10.0.0.1";
    entry.name = "Club";
    entry.manualMods = " BETA ; missing";
    ServerSetupDialog dialog(english(), inputs, entry, "/games/ofp/");
    dialog.show(); // double clicks need the lists on screen
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    auto &available = child<QTreeWidget>(dialog, "availableList");
    auto &toLoad = child<QTreeWidget>(dialog, "toLoadList");
    EXPECT_EQ(rows(available), (QStringList{"alpha", "zeta"}));
    EXPECT_EQ(rows(toLoad), (QStringList{"BETA", "missing"}));

    selectRow(dialog, "availableList", 1);
    click(dialog, "addModButton"); // zeta
    EXPECT_EQ(rows(toLoad), (QStringList{"BETA", "missing", "zeta"}));
    selectRow(dialog, "toLoadList", 2);
    click(dialog, "upButton");
    click(dialog, "upButton"); // still selected after each move
    EXPECT_EQ(rows(toLoad), (QStringList{"zeta", "BETA", "missing"}));
    click(dialog, "upButton"); // the first stays
    EXPECT_EQ(rows(toLoad), (QStringList{"zeta", "BETA", "missing"}));
    selectRow(dialog, "toLoadList", 1);
    click(dialog, "removeModButton");
    EXPECT_EQ(rows(available), (QStringList{"alpha", "BETA"}));
    const QPoint onAlpha = available.visualItemRect(available.topLevelItem(0)).center();
    QTest::mouseClick(available.viewport(), Qt::LeftButton, {}, onAlpha);
    QTest::mouseDClick(available.viewport(), Qt::LeftButton, {}, onAlpha);
    EXPECT_EQ(rows(toLoad), (QStringList{"zeta", "missing", "alpha"}));

    child<QLineEdit>(dialog, "paramEdit").setText("  -name=X  ");
    click(dialog, "okButton");
    EXPECT_EQ(dialog.result().manualMods, "zeta;missing;alpha");
    EXPECT_EQ(dialog.result().startupParameters, "-name=X");
    EXPECT_EQ(dialog.result().name, "Club");
}

TEST(ServerSetupDialog, ANewEntryAndTheLocalMode)
{
    ServerSetupDialog dialog(english(), ServerSetupInputs{}, ServerEntry{}, "/games/ofp/");
    EXPECT_EQ(dialog.windowTitle(), "Server/single player setup");
    EXPECT_TRUE(child<QCheckBox>(dialog, "autoModBox").isChecked());
    EXPECT_TRUE(child<QCheckBox>(dialog, "autoModBox").isEnabled());
    EXPECT_FALSE(child<QCheckBox>(dialog, "loadServerModsBox").isChecked());
    EXPECT_FALSE(child<QLineEdit>(dialog, "descEdit").isEnabled());
    EXPECT_FALSE(child<QPushButton>(dialog, "autoDetectButton").isEnabled());
    EXPECT_EQ(child<QPushButton>(dialog, "upButton").toolTip().left(24), "Move selected mod up (lo");

    child<QLineEdit>(dialog, "addressEdit").setText("10.1.1.1");
    QTest::mouseClick(&child<QWidget>(dialog, "localButton"), Qt::LeftButton);
    EXPECT_TRUE(child<QLineEdit>(dialog, "descEdit").isEnabled());
    EXPECT_FALSE(child<QLineEdit>(dialog, "addressEdit").isEnabled());
    EXPECT_FALSE(child<QCheckBox>(dialog, "autoModBox").isEnabled());
    child<QLineEdit>(dialog, "descEdit").setText("Training");
    QTest::mouseClick(&child<QCheckBox>(dialog, "loadServerModsBox"), Qt::LeftButton); // disabled: nothing
    click(dialog, "okButton");
    EXPECT_TRUE(dialog.result().local);
    EXPECT_EQ(dialog.result().name, "Training");
    EXPECT_EQ(dialog.result().address, "10.1.1.1") << "what was typed is kept";
    EXPECT_FALSE(dialog.result().loadServerMods);
}

TEST(ServerSetupDialog, CopyFromListsTwoHundredAndTakesTheChosenEntry)
{
    ServerSetupInputs inputs;
    inputs.modFolders = {"a", "b"};
    for (int i = 0; i < 250; ++i) {
        ServerEntry entry;
        entry.address = "10.0.0." + std::to_string(i % 250);
        entry.name = "Server " + std::to_string(i);
        entry.manualMods = i == 2 ? "b" : "";
        entry.password = i == 2 ? "two" : "";
        inputs.servers.push_back(entry);
    }
    ServerSetupDialog dialog(english(), inputs, ServerEntry{}, "/games/ofp/");
    int offered = 0;
    auto *poll = new QTimer(&dialog);
    QObject::connect(poll, &QTimer::timeout, [&] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        if (!menu)
            return;
        poll->stop();
        offered = static_cast<int>(menu->actions().size());
        for (int i = 0; i < 3; ++i)
            QTest::keyClick(menu, Qt::Key_Down);
        QTest::keyClick(menu, Qt::Key_Return);
    });
    poll->start(10);
    click(dialog, "copyFromButton");
    EXPECT_EQ(offered, 200);
    EXPECT_EQ(child<QLineEdit>(dialog, "addressEdit").text(), "10.0.0.2");
    EXPECT_EQ(child<QLineEdit>(dialog, "passwordEdit").text(), "two");
    EXPECT_EQ(rows(child<QTreeWidget>(dialog, "toLoadList")), QStringList{"b"});
    EXPECT_EQ(rows(child<QTreeWidget>(dialog, "availableList")), QStringList{"a"});
}

TEST(PathSetupDialog, SearchFindsTheGameOrEndsEmpty)
{
    test::TempFolder temp;
    temp.write("disk/Games/OFP/OperationFlashpoint.EXE", "");
    temp.write("empty/readme.txt", "");
    const std::string real = std::filesystem::canonical(temp.path()).string();
    for (const bool found : {true, false}) {
        PathSetupDialog dialog(english(), {temp / (found ? "disk" : "empty")});
        dialog.show();
        auto &ok = child<QPushButton>(dialog, "okButton");
        auto &cancel = child<QPushButton>(dialog, "cancelButton");
        auto &search = child<QPushButton>(dialog, "searchButton");
        EXPECT_EQ(dialog.windowTitle(), "Garrison path setup");
        EXPECT_FALSE(ok.isEnabled()) << "no folder yet";
        QTest::mouseClick(&search, Qt::LeftButton);
        EXPECT_EQ(search.text(), "Stop");
        EXPECT_FALSE(cancel.isEnabled());
        ASSERT_TRUE(test::waitFor([&] { return search.text() == "Search"; })) << found;
        EXPECT_TRUE(ok.isEnabled());
        EXPECT_EQ(cancel.isEnabled(), !found);
        EXPECT_EQ(child<QLineEdit>(dialog, "folderEdit").text().toStdString(), found ? real + "/disk/Games/OFP/" : "");
        QTest::mouseClick(&ok, Qt::LeftButton);
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        EXPECT_EQ(dialog.folder(), found ? real + "/disk/Games/OFP/" : "");
    }
}

} // namespace
