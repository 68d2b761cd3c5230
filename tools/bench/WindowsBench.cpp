// garrison-bench-windows: the windows at scale, offscreen. The Manager's
// Advanced view over 100,000 files and its Packages view over 2,000 packages,
// opened and sorted; the main window from its start to the first status of
// the selected loopback server with a 100,000-file game folder and database;
// and the longest the main window's event loop stands still while the
// selection moves between servers.
#include "BenchDatabase.h"
#include "addondb/DatabaseFile.h"
#include "addondb/FileScanner.h"
#include "app/SoundOutput.h"
#include "gameserver/GameServerPeer.h"
#include "gui/MainWindow.h"
#include "gui/ManagerWindow.h"
#include "lang/LanguageLoader.h"
#include "platform/HostLookup.h"
#include "servers/SettingsFile.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QTreeView>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>

using namespace garrison;
using namespace garrison::gui;
namespace fs = std::filesystem;

namespace {

class Silence final : public SoundOutput {
public:
    void play(int) override {}
};

// Runs the event loop until the condition holds; the clock's seconds then,
// or -1. It sleeps only in the event loop's own wait, so a timer measures
// every pause of the window itself.
double secondsUntil(const std::function<bool()> &condition, const QElapsedTimer &clock)
{
    QElapsedTimer limit;
    limit.start();
    while (!condition()) {
        if (limit.elapsed() > 60000)
            return -1;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    return static_cast<double>(clock.nsecsElapsed()) / 1e9;
}

void addPackages(AddonDatabase &database, int count, int filesEach)
{
    std::vector<FileNode *> files;
    for (FileNode *node : flatten(*database.root())) {
        if (!node->isFolder())
            files.push_back(node);
    }
    for (int p = 0; p < count; ++p) {
        Package package;
        package.name = "Package " + std::to_string(count - p); // not in sorted order
        package.installDate = 132000000000000000ull + static_cast<FileTime>(p % 97) * 864000000000ull;
        for (int f = 0; f < filesEach; ++f) {
            FileNode *node = files[static_cast<std::size_t>(p * filesEach + f) % files.size()];
            for (auto &standard : database.packages())
                standard.release(node);
            package.add(NodeRef(node));
        }
        database.packages().push_back(std::move(package));
    }
}

void managerAtScale(const LanguageTable &language, const fs::path &work)
{
    AddonDatabase database(language);
    database.setGameFolder("/games/ofp/");
    bench::fillDatabase(database, 100000);
    addPackages(database, 2000, 20);
    const struct {
        ManagerView view;
        const char *name;
    } views[] = {{ManagerView::Advanced, "Advanced view, 100,000 files"},
                 {ManagerView::Packages, "Packages view, 2,000 packages"}};
    for (const auto &view : views) {
        QElapsedTimer clock;
        clock.start();
        ManagerWindow window(language, database, nullptr, view.view,
                             ManagerPlace{work.string() + "/", (work / "garrison.dat").string(), false});
        window.show();
        auto *list = window.findChild<QTreeView *>("list");
        const double open = secondsUntil([&] { return list->model()->rowCount() > 0 && window.isVisible(); }, clock);
        window.grab(); // the first paint
        const double painted = static_cast<double>(clock.nsecsElapsed()) / 1e9;
        const int rows = list->model()->rowCount();
        double sortWorst = 0;
        for (int column : {1, 0, 2}) {
            QElapsedTimer sortClock;
            sortClock.start();
            emit list->header()->sectionClicked(column);
            window.grab();
            sortWorst = std::max(sortWorst, static_cast<double>(sortClock.nsecsElapsed()) / 1e9);
        }
        std::printf("%-31s open %6.3f s, painted %6.3f s, slowest sort %6.3f s (%d rows; under 1 s wanted)\n",
                    view.name, open, painted, sortWorst, rows);
    }
}

// 100,000 empty files in folders of 100 below mod folders, once.
void makeGameFolder(const fs::path &game)
{
    if (fs::exists(game / ".complete"))
        return;
    fs::remove_all(game);
    for (int i = 0; i < 100000; ++i) {
        const fs::path folder =
            game / ("@mod" + std::to_string(i / 10000)) / "AddOns" / ("pack" + std::to_string(i / 100));
        if (i % 100 == 0)
            fs::create_directories(folder);
        std::ofstream(folder / ("addon" + std::to_string(i) + ".pbo"));
    }
    std::ofstream(game / "FLASHPOINTRESISTANCE.EXE") << "exe";
    std::ofstream(game / ".complete");
}

void mainWindowAtScale(const LanguageTable &language, const fs::path &work, double applicationStart)
{
    const fs::path game = work / "game";
    makeGameFolder(game);
    const fs::path folder = work / "main";
    fs::remove_all(folder);
    fs::create_directories(folder);
    {
        AddonDatabase database(language);
        database.setGameFolder(game.string() + "/");
        FileScanner(database).scan();
        DatabaseFile::save(database, (folder / "garrison.dat").string(), (folder / "garrison.da2").string());
    }
    std::vector<std::unique_ptr<peers::GameServerPeer>> servers;
    Settings settings;
    for (std::uint32_t i = 1; i <= 2; ++i) {
        peers::GameServerConfig config;
        config.address = 0x7f | (77u << 8) | (i << 24); // 127.77.0.i
        config.name = "Bench server " + std::to_string(i);
        servers.push_back(std::make_unique<peers::GameServerPeer>(config));
        if (!servers.back()->start()) {
            std::fprintf(stderr, "cannot start the loopback game server\n");
            std::exit(1);
        }
        ServerEntry entry;
        entry.address = dottedAddress(config.address) + ":2302";
        entry.name = config.name;
        settings.servers.push_back(entry);
    }
    settings.selectedIndex = 0;
    settings.options.gameFolder = game.string() + "/";
    settings.options.autoAddonEnabled = true;
    SettingsFile::save(settings, (folder / "garrison.sav").string());
    std::ofstream(folder / "garrison-linux.conf") << "runner = true\n";

    Silence silence;
    MainStart start;
    start.folder = folder.string() + "/";
    start.places = {(folder / "noprefix").string(), (folder / "nohome").string()};
    start.programFolder = (folder / "program/").string();
    QElapsedTimer clock;
    clock.start();
    MainWindow window(language, silence, start);
    window.show();
    window.initialise();
    auto *description = qobject_cast<QLineEdit *>(window.control(1001));
    auto *label = qobject_cast<QLabel *>(window.control(1001));
    const auto shows = [&](const std::string &text) {
        const QString wanted = QString::fromStdString(text);
        return (description && description->text() == wanted) || (label && label->text() == wanted);
    };
    const double firstStatus = secondsUntil([&] { return shows("Bench server 1"); }, clock);
    // The process itself: exec and its libraries, up to the switches (it ends at /RegServer).
    const std::string program = (fs::canonical("/proc/self/exe").parent_path() / "../../src/gui/garrison").string();
    double processStart = 1e9;
    for (int i = 0; i < 3; ++i) {
        QElapsedTimer run;
        run.start();
        if (std::system(("'" + program + "' /RegServer").c_str()) != 0) {
            std::fprintf(stderr, "cannot run %s\n", program.c_str());
            std::exit(1);
        }
        processStart = std::min(processStart, static_cast<double>(run.nsecsElapsed()) / 1e9);
    }
    std::printf("start-up to the first status     %6.3f s = process %.3f + QApplication %.3f + window to the status "
                "%.3f, with a 100,000-file game folder and database\n",
                processStart + applicationStart + firstStatus, processStart, applicationStart, firstStatus);

    // The event loop's longest pause while the selection moves back and forth.
    auto *list = qobject_cast<QComboBox *>(window.control(1027));
    QElapsedTimer gap;
    qint64 longest = 0;
    QTimer beat;
    QObject::connect(&beat, &QTimer::timeout, [&] { longest = std::max(longest, gap.restart()); });
    beat.start(5);
    gap.start();
    if (!list) {
        std::fprintf(stderr, "no server list\n");
        std::exit(1);
    }
    for (int round = 0; round < 10; ++round) {
        const int to = (round + 1) % 2;
        list->setCurrentIndex(to);
        if (secondsUntil([&] { return shows("Bench server " + std::to_string(to + 1)); }, clock) < 0) {
            std::fprintf(stderr, "the status of server %d never showed\n", to + 1);
            std::exit(1);
        }
    }
    beat.stop();
    std::printf("switching servers, 10 times      longest stand-still of the main window %lld ms "
                "(under 100 ms wanted)\n",
                static_cast<long long>(longest));
    window.close();
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QElapsedTimer clock;
    clock.start();
    QApplication application(argc, argv);
    const double applicationStart = static_cast<double>(clock.nsecsElapsed()) / 1e9;
    const fs::path work = fs::temp_directory_path() / "garrison-bench-windows";
    fs::create_directories(work);
    const LanguageTable language = loadLanguageTable("/nonexistent/garrisonlanguage.ini");
    managerAtScale(language, work);
    mainWindowAtScale(language, work, applicationStart);
    fs::remove_all(work / "main");
    return 0;
}
