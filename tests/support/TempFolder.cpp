#include "support/TempFolder.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace garrison::test {

TempFolder::TempFolder()
{
    const char *base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/garrison-test-XXXXXX";
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("cannot create a temporary folder");
    m_path = pattern + "/";
}

TempFolder::~TempFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

std::string TempFolder::write(const std::string &relative, const std::string &content) const
{
    const std::filesystem::path full = m_path + relative;
    std::filesystem::create_directories(full.parent_path());
    std::ofstream file(full, std::ios::binary);
    file << content;
    file.close();
    // A fixture that is not there would make the test prove nothing: say so.
    if (!file)
        throw std::runtime_error("cannot write the fixture " + full.string());
    return full.string();
}

std::string TempFolder::read(const std::string &relative) const
{
    std::ifstream in(m_path + relative, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

} // namespace garrison::test
