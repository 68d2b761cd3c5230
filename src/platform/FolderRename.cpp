#include "platform/FolderRename.h"

#include "platform/DirectoryListing.h"

namespace garrison {

FsStatus renameInFolder(const std::string &folder, const std::string &from, const std::string &to)
{
    if (const auto taken = findEntryIgnoringCase(folder, to); taken && *taken != from)
        return FsStatus::AlreadyExists;
    return renameNoReplace(folder + from, folder + to);
}

} // namespace garrison
