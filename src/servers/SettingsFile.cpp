#include "servers/SettingsFile.h"

#include "common/ByteReader.h"
#include "platform/WholeFile.h"
#include "servers/ParameterSplit.h"

#include <cerrno>
#include <cstdio>
#include <system_error>

namespace garrison {

namespace {

// Reads that change their target only when the bytes are there.
class FieldReader {
public:
    explicit FieldReader(std::span<const std::uint8_t> bytes) : m_reader(bytes) {}

    bool atEnd() const { return m_reader.atEnd(); }
    void text(std::string &target)
    {
        if (m_reader.atEnd())
            return;
        std::string value;
        m_reader.readText(value); // a truncated text ends with the data
        target = std::move(value);
    }
    void flag(bool &target)
    {
        std::uint8_t value = 0;
        if (m_reader.read(value))
            target = value != 0;
    }
    template <typename T>
    bool number(T &target)
    {
        T value{};
        if (!m_reader.read(value))
            return false;
        target = value;
        return true;
    }

private:
    ByteReader m_reader;
};

ServerEntry decodeEntry(FieldReader &in, std::uint32_t version)
{
    ServerEntry entry;
    in.text(entry.address);
    in.text(entry.password);
    in.text(entry.name);
    in.text(entry.startupParameters);
    if (version >= 4) {
        in.text(entry.manualMods);
        in.text(entry.automaticMods);
    }
    if (version >= 2) {
        in.flag(entry.automaticModSelection);
        if (version == 2)
            entry.automaticModSelection = true;
    }
    if (version >= 5) {
        in.flag(entry.local);
        in.text(entry.executable);
    }
    if (version >= 8)
        in.flag(entry.loadServerMods);
    if (version <= 3) {
        auto split = splitParameters(entry.startupParameters);
        entry.startupParameters = std::move(split.startupParameters);
        entry.manualMods = std::move(split.manualMods);
    }
    return entry;
}

class Writer {
public:
    void byte(std::uint8_t value) { m_bytes.push_back(value); }
    void flag(bool value) { byte(value ? 1 : 0); }
    void u32(std::uint32_t value)
    {
        for (int i = 0; i < 4; ++i)
            byte(static_cast<std::uint8_t>(value >> (8 * i)));
    }
    void text(const std::string &value)
    {
        m_bytes.insert(m_bytes.end(), value.begin(), value.end());
        byte(0);
    }
    std::vector<std::uint8_t> take() { return std::move(m_bytes); }

private:
    std::vector<std::uint8_t> m_bytes;
};

} // namespace

Settings SettingsFile::decode(std::span<const std::uint8_t> bytes)
{
    Settings settings;
    FieldReader in(bytes);
    std::uint8_t first = 1;
    std::uint32_t version = 0;
    if (!in.number(first) || first != 0 || !in.number(version) || version > kFormatVersion)
        return settings;
    std::uint32_t count = 0;
    in.number(count);
    // The count is not trusted: entries end with the data.
    for (std::uint32_t i = 0; i < count && !in.atEnd(); ++i)
        settings.servers.push_back(decodeEntry(in, version));
    in.number(settings.selectedIndex);
    Options &options = settings.options;
    if (version >= 1)
        in.text(options.gameFolder);
    if (version >= 3)
        in.flag(options.installExisting);
    if (version >= 6) {
        in.flag(options.autoAddonEnabled);
        in.flag(options.keepRunningAfterLaunch);
        in.flag(options.minimiseToTray);
        in.flag(options.noAutomaticActivation);
    }
    if (version >= 7) {
        for (auto &executable : options.executables)
            in.text(executable);
    }
    if (version >= 8) {
        in.number(options.windowLeft);
        in.number(options.windowTop);
    }
    if (version >= 9)
        in.flag(options.alwaysNoMap);
    return settings;
}

std::vector<std::uint8_t> SettingsFile::encode(const Settings &settings)
{
    Writer out;
    out.byte(0);
    out.u32(kFormatVersion);
    out.u32(static_cast<std::uint32_t>(settings.servers.size()));
    for (const auto &entry : settings.servers) {
        out.text(entry.address);
        out.text(entry.password);
        out.text(entry.name);
        out.text(entry.startupParameters);
        out.text(entry.manualMods);
        out.text(entry.automaticMods);
        out.flag(entry.automaticModSelection);
        out.flag(entry.local);
        out.text(entry.executable);
        out.flag(entry.loadServerMods);
    }
    out.u32(static_cast<std::uint32_t>(settings.selectedIndex));
    const Options &options = settings.options;
    out.text(options.gameFolder);
    out.flag(options.installExisting);
    out.flag(options.autoAddonEnabled);
    out.flag(options.keepRunningAfterLaunch);
    out.flag(options.minimiseToTray);
    out.flag(options.noAutomaticActivation);
    for (const auto &executable : options.executables)
        out.text(executable);
    out.u32(static_cast<std::uint32_t>(options.windowLeft));
    out.u32(static_cast<std::uint32_t>(options.windowTop));
    out.flag(options.alwaysNoMap);
    return out.take();
}

std::string SettingsFile::unreadable(std::span<const std::uint8_t> bytes)
{
    if (bytes.empty())
        return {};
    ByteReader in(bytes);
    std::uint8_t first = 1;
    std::uint32_t version = 0;
    if (!in.read(first) || first != 0 || !in.read(version))
        return "it is no Garrison server list";
    if (version > kFormatVersion)
        return "it was written by a newer Garrison (format " + std::to_string(version) + "; this one reads 1 to " +
               std::to_string(kFormatVersion) + ")";
    return {};
}

SettingsFile::Read SettingsFile::read(const std::string &path)
{
    Read result;
    const auto bytes = readWholeFile(path);
    if (!bytes) {
        if (errno != ENOENT)
            result.problem = std::error_code(errno, std::generic_category()).message();
        return result;
    }
    result.problem = unreadable(*bytes);
    if (result.problem.empty())
        result.settings = decode(*bytes);
    return result;
}

bool SettingsFile::save(const Settings &settings, const std::string &path)
{
    return replaceFile(path, path + ".new", encode(settings), 0600);
}

} // namespace garrison
