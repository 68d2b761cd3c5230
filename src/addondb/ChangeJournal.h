#pragma once

#include "platform/FileTime.h"

#include <string>
#include <vector>

namespace garrison {

// "garrison.journal", beside the database file: what the changes made since
// the database was last saved did to the disk, so that a crash in the
// middle of one is undone (or, for an uninstallation, completed) at the next
// start. Sections, one per change: an installation lists every folder and
// file it will create before it writes the first byte; renames are recorded
// before they happen. A successful save of the database empties it.
class ChangeJournal {
public:
    enum class Kind { None, Install, Uninstall, Activation };

    // Without a path nothing is recorded.
    void setPath(std::string path) { m_path = std::move(path); }
    const std::string &path() const { return m_path; }
    bool enabled() const { return !m_path.empty(); }

    // An installation's plan: the folders it creates and each file's hidden
    // and final name (native paths). Flushed to the device. False when the
    // journal cannot be written: nothing may then be written either.
    bool beginInstall(const std::string &package, FileTime installDate, const std::vector<std::string> &folders,
                      const std::vector<std::pair<std::string, std::string>> &files);
    // An installation that failed and was taken back: nothing left to undo.
    void installTakenBack();
    // The installation is over: later renames are a change of their own.
    void endInstall();
    bool beginUninstall(const std::string &package, FileTime installDate);
    // Before a rename; renames outside an installation form an activation section.
    bool rename(const std::string &from, const std::string &to);
    // The database was saved: the disk and the file agree again.
    void clear();

private:
    bool append(const std::string &text, bool flush);

    std::string m_path;
    Kind m_open = Kind::None;
};

// A field of a journal line: tab, line feed and backslash escaped.
std::string journalField(const std::string &text);
// The fields of one line, unescaped.
std::vector<std::string> journalFields(const std::string &line);

} // namespace garrison
