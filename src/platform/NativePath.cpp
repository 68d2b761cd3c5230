#include "platform/NativePath.h"

#include "platform/DirectoryListing.h"

namespace garrison {

namespace {

bool isUnsafeComponent(const std::string &component)
{
    return component == "." || component == ".." || component.find('/') != std::string::npos ||
           component.find('\0') != std::string::npos;
}

} // namespace

std::optional<std::string> nativePath(const std::string &gameFolder, const std::string &relative)
{
    std::string path = gameFolder;
    if (path.empty() || path.back() != '/')
        path += '/';
    bool folderExists = true;
    std::size_t start = 0;
    while (start < relative.size()) {
        const auto end = relative.find('\\', start);
        const bool isFolder = end != std::string::npos;
        const std::string component = relative.substr(start, isFolder ? end - start : std::string::npos);
        start = isFolder ? end + 1 : relative.size();
        if (component.empty())
            continue;
        if (isUnsafeComponent(component))
            return std::nullopt;
        std::string spelling = component;
        if (folderExists) {
            if (auto onDisk = findEntryIgnoringCase(path, component))
                spelling = *onDisk;
            else
                folderExists = false;
        }
        path += spelling;
        if (isFolder)
            path += '/';
    }
    return path;
}

} // namespace garrison
