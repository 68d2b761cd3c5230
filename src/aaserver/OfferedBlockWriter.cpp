#include "aaserver/OfferedBlockWriter.h"

#include "common/LittleEndian.h"

#include <map>

namespace garrison {

namespace {

void text(std::vector<std::uint8_t> &out, const std::string &value)
{
    out.insert(out.end(), value.begin(), value.end());
    out.push_back(0);
}

// The files as nested entry lists, folders in the order first met.
struct Folder {
    std::vector<std::string> order;
    std::map<std::string, Folder> folders;
    std::map<std::string, OfferedFile> files;
};

void writeFolder(std::vector<std::uint8_t> &out, const Folder &folder)
{
    for (const auto &name : folder.order) {
        text(out, name);
        if (name.back() == '\\') {
            writeFolder(out, folder.folders.at(name));
        } else {
            appendLittleEndian(out, folder.files.at(name).size);
            appendLittleEndian(out, folder.files.at(name).crc);
        }
    }
    out.push_back(0);
}

} // namespace

std::vector<std::uint8_t> writeOfferedBlock(const OfferedContent &offer)
{
    std::vector<std::uint8_t> out;
    appendLittleEndian(out, std::uint32_t{1});
    for (const auto &serverText : offer.serverTexts)
        text(out, serverText);
    text(out, offer.deactivations);
    for (int i = 0; i < 5; ++i)
        text(out, "");
    appendLittleEndian(out, static_cast<std::uint32_t>(offer.packages.size()));
    for (const auto &package : offer.packages) {
        text(out, package.url);
        appendLittleEndian(out, package.zipSize);
        text(out, package.name);
        text(out, package.comment);
        text(out, "");
        text(out, "");
        appendLittleEndian(out, package.priority);
        Folder root;
        for (const auto &file : package.files) {
            Folder *folder = &root;
            std::size_t start = 0;
            for (auto slash = file.path.find('\\'); slash != std::string::npos; slash = file.path.find('\\', start)) {
                const std::string name = file.path.substr(start, slash + 1 - start);
                if (!folder->folders.count(name))
                    folder->order.push_back(name);
                folder = &folder->folders[name];
                start = slash + 1;
            }
            const std::string name = file.path.substr(start);
            folder->order.push_back(name);
            folder->files[name] = file;
        }
        writeFolder(out, root);
    }
    return out;
}

} // namespace garrison
