#include "support/ZipWriter.h"

#include <minizip/zip.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <unistd.h>

namespace garrison::test {

bool writeZip(const std::string &path, const std::vector<ZipMember> &members)
{
    zipFile zip = zipOpen(path.c_str(), APPEND_STATUS_CREATE);
    if (!zip)
        return false;
    bool ok = true;
    for (const auto &member : members) {
        zip_fileinfo info{};
        info.tmz_date = {4, 4, 3, 2, 0, 2020};
        ok = ok && zipOpenNewFileInZip(zip, member.name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr,
                                       member.deflated ? Z_DEFLATED : 0, Z_DEFAULT_COMPRESSION) == ZIP_OK;
        ok = ok &&
             zipWriteInFileInZip(zip, member.content.data(), static_cast<unsigned>(member.content.size())) == ZIP_OK;
        ok = ok && zipCloseFileInZip(zip) == ZIP_OK;
    }
    return zipClose(zip, nullptr) == ZIP_OK && ok;
}

std::string zipBytes(const std::vector<ZipMember> &members)
{
    const char *base = std::getenv("TMPDIR");
    std::string name = std::string(base && *base ? base : "/tmp") + "/garrison-zip-XXXXXX";
    const int fd = mkstemp(name.data());
    if (fd < 0)
        return {};
    close(fd);
    if (!writeZip(name, members)) {
        std::remove(name.c_str());
        return {};
    }
    std::ifstream in(name, std::ios::binary);
    std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::remove(name.c_str());
    return bytes;
}

} // namespace garrison::test
