#include "app/StagedSwap.h"

#include "platform/FileSystem.h"

#include <algorithm>
#include <filesystem>
#include <vector>

namespace garrison {

namespace {

namespace fs = std::filesystem;

struct Move {
    fs::path relative;
    bool replaced = false; // an installed file was put aside
};

bool ensureParent(const fs::path &path)
{
    std::error_code error;
    fs::create_directories(path.parent_path(), error);
    return !error;
}

bool move(const fs::path &from, const fs::path &to)
{
    return ensureParent(to) && renameNoReplace(from.string(), to.string()) == FsStatus::Ok;
}

} // namespace

std::string swapStagedFiles(const std::string &staging, const std::string &target)
{
    const fs::path from(staging);
    const fs::path to(target);
    // Inside the program folder: a folder the player may write is all it needs.
    const fs::path aside = to / ".garrison-old";
    std::error_code error;
    // A link would have garrisonsetup move the files of whatever it points to.
    for (const auto &[path, role] : {std::pair{staging, "staging folder"}, std::pair{aside.string(), "aside folder"}}) {
        if (isSymbolicLink(path))
            return "the " + std::string(role) + " " + path + " is a symbolic link; nothing was changed";
    }
    // Files an earlier swap could not put back wait there: never overwrite them.
    if (fs::exists(aside, error))
        return "an earlier upgrade left files in " + aside.string() + "; nothing was changed";

    std::vector<fs::path> files;
    for (auto it = fs::recursive_directory_iterator(from, error); !error && it != fs::recursive_directory_iterator();
         it.increment(error)) {
        if (it->is_regular_file())
            files.push_back(fs::relative(it->path(), from));
    }
    std::string failure = error ? "cannot read " + staging : std::string();
    std::sort(files.begin(), files.end());

    std::vector<Move> done;
    bool restored = true;
    for (const auto &relative : files) {
        if (!failure.empty())
            break;
        Move step{relative, fs::exists(fs::symlink_status(to / relative, error))};
        // An archive made without Unix modes still gives the program a program.
        const auto executable = fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec;
        const fs::perms installed =
            step.replaced ? fs::status(to / relative, error).permissions() & executable : fs::perms::none;
        if (step.replaced && !move(to / relative, aside / relative)) {
            failure = "cannot move " + (to / relative).string() + " aside";
            break;
        }
        if (!move(from / relative, to / relative)) {
            failure = "cannot move " + (to / relative).string() + " in place";
            if (step.replaced && !move(aside / relative, to / relative))
                restored = false;
            break;
        }
        fs::permissions(to / relative, installed, fs::perm_options::add, error);
        done.push_back(step);
    }
    if (!failure.empty()) {
        // Back as it was, the last move first.
        for (auto it = done.rbegin(); it != done.rend(); ++it) {
            fs::remove(to / it->relative, error);
            if (it->replaced && !move(aside / it->relative, to / it->relative))
                restored = false;
        }
    }
    fs::remove_all(from, error);
    // What could not be put back stays aside rather than being lost.
    if (restored)
        fs::remove_all(aside, error);
    else
        failure += "; the files that could not be put back are in " + aside.string();
    return failure;
}

} // namespace garrison
