#include "app/StagedSwap.h"

#include "platform/FileSystem.h"
#include "platform/WholeFile.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

namespace garrison {

namespace {

namespace fs = std::filesystem;

constexpr const char *kAside = ".garrison-old";
constexpr const char *kJournal = ".garrison-swap";
constexpr const char *kFailureNote = ".garrison-swap-failed";

struct Move {
    fs::path relative;
    bool replaced = false; // an installed file was put aside
};

// Makes the folders above path; those it made are added to made, outermost first.
bool ensureParent(const fs::path &path, std::vector<fs::path> &made)
{
    std::vector<fs::path> missing;
    for (fs::path folder = path.parent_path(); !folder.empty() && !fs::exists(folder); folder = folder.parent_path())
        missing.push_back(folder);
    std::error_code error;
    fs::create_directories(path.parent_path(), error);
    made.insert(made.end(), missing.rbegin(), missing.rend());
    return !error;
}

bool move(const fs::path &from, const fs::path &to, std::vector<fs::path> &made)
{
    return ensureParent(to, made) && renameNoReplace(from.string(), to.string()) == FsStatus::Ok;
}

// One line a move: "R" (a file was put aside) or "N", a space, the relative path.
std::string journalText(const std::vector<Move> &moves)
{
    std::string text;
    for (const auto &step : moves)
        text += (step.replaced ? "R " : "N ") + step.relative.string() + "\n";
    return text;
}

std::vector<Move> readJournal(const fs::path &journal)
{
    std::vector<Move> moves;
    std::ifstream in(journal);
    std::string line;
    while (std::getline(in, line)) {
        if (line.size() > 2 && (line[0] == 'R' || line[0] == 'N') && line[1] == ' ')
            moves.push_back({fs::path(line.substr(2)), line[0] == 'R'});
    }
    return moves;
}

// Puts back what the moves changed, the last first; false when a file set
// aside could not return.
bool undo(const fs::path &to, const fs::path &aside, const std::vector<Move> &moves)
{
    bool restored = true;
    std::error_code error;
    std::vector<fs::path> made;
    for (auto it = moves.rbegin(); it != moves.rend(); ++it) {
        const bool stillAside = fs::exists(fs::symlink_status(aside / it->relative, error));
        // A new file, or a replaced one whose old copy waits aside: the new one goes.
        if (!it->replaced || stillAside)
            fs::remove(to / it->relative, error);
        if (it->replaced && stillAside && !move(aside / it->relative, to / it->relative, made))
            restored = false;
    }
    return restored;
}

void removeEmptyFolders(const std::vector<fs::path> &made)
{
    std::error_code error;
    for (auto it = made.rbegin(); it != made.rend(); ++it)
        fs::remove(*it, error); // only an empty folder goes
}

std::string swapFiles(const std::string &staging, const std::string &target, const std::function<void()> &afterMove)
{
    const fs::path from(staging);
    const fs::path to(target);
    // Inside the program folder: a folder the player may write is all it needs.
    const fs::path aside = to / kAside;
    std::error_code error;
    // A link would have garrisonsetup move the files of whatever it points to.
    for (const auto &[path, role] : {std::pair{staging, "staging folder"}, std::pair{aside.string(), "aside folder"}}) {
        if (isSymbolicLink(path))
            return "the " + std::string(role) + " " + path + " is a symbolic link; nothing was changed";
    }
    // Files an earlier swap could not put back wait there: never overwrite them.
    if (fs::exists(aside, error))
        return "an earlier upgrade left files in " + aside.string() + "; nothing was changed";

    std::vector<Move> planned;
    for (auto it = fs::recursive_directory_iterator(from, error); !error && it != fs::recursive_directory_iterator();
         it.increment(error)) {
        if (it->is_regular_file())
            planned.push_back({fs::relative(it->path(), from), false});
    }
    std::string failure = error ? "cannot read " + staging : std::string();
    std::sort(planned.begin(), planned.end(), [](const Move &a, const Move &b) { return a.relative < b.relative; });
    for (auto &step : planned)
        step.replaced = fs::exists(fs::symlink_status(to / step.relative, error));
    const std::string journalBytes = journalText(planned);
    if (failure.empty() &&
        !replaceFile((to / kJournal).string(), (to / (std::string(kJournal) + ".new")).string(),
                     std::span(reinterpret_cast<const std::uint8_t *>(journalBytes.data()), journalBytes.size())))
        failure = "cannot write the journal in " + target;

    std::vector<Move> done;
    std::vector<fs::path> made;
    bool restored = true;
    for (const auto &step : planned) {
        if (!failure.empty())
            break;
        const fs::path &relative = step.relative;
        // An archive made without Unix modes still gives the program a program.
        const auto executable = fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec;
        const fs::perms installed =
            step.replaced ? fs::status(to / relative, error).permissions() & executable : fs::perms::none;
        if (step.replaced && !move(to / relative, aside / relative, made)) {
            failure = "cannot move " + (to / relative).string() + " aside";
            break;
        }
        if (!move(from / relative, to / relative, made)) {
            failure = "cannot move " + (to / relative).string() + " in place";
            if (step.replaced && !move(aside / relative, to / relative, made))
                restored = false;
            break;
        }
        fs::permissions(to / relative, installed, fs::perm_options::add, error);
        done.push_back(step);
        if (afterMove)
            afterMove();
    }
    if (!failure.empty() && !undo(to, aside, done))
        restored = false;
    fs::remove_all(from, error);
    // What could not be put back stays aside rather than being lost, and the
    // journal with it, for the next start to try again.
    if (restored) {
        fs::remove_all(aside, error);
        if (!failure.empty())
            removeEmptyFolders(made);
        fs::remove(to / kJournal, error);
    } else {
        failure += "; the files that could not be put back are in " + aside.string();
    }
    return failure;
}

} // namespace

Failure swapStagedFiles(const std::string &staging, const std::string &target, const std::function<void()> &afterMove)
{
    const std::string failure = swapFiles(staging, target, afterMove);
    // Garrison starts again after this: the note is how the player hears of it.
    if (!failure.empty() && !isSymbolicLink((std::filesystem::path(target) / kFailureNote).string())) {
        std::ofstream note(std::filesystem::path(target) / kFailureNote, std::ios::trunc);
        note << failure;
    }
    return failure.empty() ? Failure() : Failure::because(failure);
}

std::string recoverInterruptedSwap(const std::string &target)
{
    const fs::path to(target);
    std::error_code error;
    std::string told;
    if (std::ifstream note(to / kFailureNote); note) {
        std::ostringstream text;
        text << note.rdbuf();
        told = "The last upgrade was not installed: " + text.str();
        note.close();
        fs::remove(to / kFailureNote, error);
    }
    const fs::path journal = to / kJournal;
    if (!fs::exists(journal, error) || isSymbolicLink((to / kAside).string()))
        return told;
    const bool restored = undo(to, to / kAside, readJournal(journal));
    if (!restored)
        return told + (told.empty() ? "" : "\n") + "An interrupted upgrade could not be undone whole; files wait in " +
               (to / kAside).string();
    fs::remove_all(to / kAside, error);
    fs::remove(journal, error);
    return told + (told.empty() ? "" : "\n") +
           "An upgrade was interrupted while its files were swapped in; the program as it was before is back.";
}

} // namespace garrison
