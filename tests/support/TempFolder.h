#pragma once

#include <string>

namespace garrison::test {

// A fresh folder under the system's temporary folder, removed with everything
// in it when the object goes away. path() ends with "/".
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder &) = delete;
    TempFolder &operator=(const TempFolder &) = delete;

    const std::string &path() const { return m_path; }
    std::string operator/(const std::string &relative) const { return m_path + relative; }

    // Writes a file (creating its folders) and returns its full path; throws
    // when it cannot, which fails the test.
    std::string write(const std::string &relative, const std::string &content) const;
    std::string read(const std::string &relative) const;

private:
    std::string m_path;
};

} // namespace garrison::test
