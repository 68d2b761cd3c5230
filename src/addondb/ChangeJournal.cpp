#include "addondb/ChangeJournal.h"

#include "platform/FileHandle.h"
#include "platform/FileSystem.h"

namespace garrison {

std::string journalField(const std::string &text)
{
    std::string field;
    for (const char c : text) {
        if (c == '\\')
            field += "\\\\";
        else if (c == '\t')
            field += "\\t";
        else if (c == '\n')
            field += "\\n";
        else
            field += c;
    }
    return field;
}

std::vector<std::string> journalFields(const std::string &line)
{
    std::vector<std::string> fields(1);
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '\t') {
            fields.emplace_back();
        } else if (c == '\\' && i + 1 < line.size()) {
            const char next = line[++i];
            fields.back() += next == 't' ? '\t' : next == 'n' ? '\n' : next;
        } else {
            fields.back() += c;
        }
    }
    return fields;
}

bool ChangeJournal::append(const std::string &text, bool flush)
{
    FileHandle file(m_path, FileHandle::Mode::Append);
    return file.isOpen() && file.write(text.data(), text.size()) == static_cast<std::int64_t>(text.size()) &&
           (!flush || file.sync());
}

bool ChangeJournal::beginInstall(const std::string &package, FileTime installDate,
                                 const std::vector<std::string> &folders,
                                 const std::vector<std::pair<std::string, std::string>> &files)
{
    if (!enabled())
        return true;
    std::string text = "install\t" + journalField(package) + "\t" + std::to_string(installDate) + "\n";
    for (const auto &folder : folders)
        text += "folder\t" + journalField(folder) + "\n";
    for (const auto &[partial, final] : files)
        text += "file\t" + journalField(partial) + "\t" + journalField(final) + "\n";
    m_open = Kind::Install;
    return append(text, true);
}

void ChangeJournal::installTakenBack()
{
    if (enabled() && m_open == Kind::Install)
        append("taken back\n", false);
    m_open = Kind::None;
}

void ChangeJournal::endInstall()
{
    m_open = Kind::None;
}

bool ChangeJournal::beginUninstall(const std::string &package, FileTime installDate)
{
    if (!enabled())
        return true;
    m_open = Kind::Uninstall;
    return append("uninstall\t" + journalField(package) + "\t" + std::to_string(installDate) + "\n", true);
}

bool ChangeJournal::rename(const std::string &from, const std::string &to)
{
    if (!enabled())
        return true;
    std::string text;
    if (m_open != Kind::Install && m_open != Kind::Activation) {
        text = "activation\n";
        m_open = Kind::Activation;
    }
    return append(text + "rename\t" + journalField(from) + "\t" + journalField(to) + "\n", false);
}

void ChangeJournal::clear()
{
    if (enabled())
        deleteFile(m_path);
    m_open = Kind::None;
}

} // namespace garrison
