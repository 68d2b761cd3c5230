#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

// A fresh folder under the temporary folder (TMPDIR, else /tmp) for the
// files a target must write; removed with everything in it when the fuzzer
// exits.
class FuzzFolder {
public:
    FuzzFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "garrison-fuzz-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            std::abort();
        m_path = pattern + "/";
    }
    ~FuzzFolder() { std::filesystem::remove_all(m_path); }
    FuzzFolder(const FuzzFolder &) = delete;
    FuzzFolder &operator=(const FuzzFolder &) = delete;

    // Ends with "/".
    const std::string &path() const { return m_path; }

private:
    std::string m_path;
};
