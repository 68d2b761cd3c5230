#include "autoaddon/OfferedJson.h"

#include <nlohmann/json.hpp>
#include <zlib.h>

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace garrison::peers {

namespace {

OfferedFile fileFrom(const nlohmann::json &item)
{
    OfferedFile file;
    file.path = item.at("path").get<std::string>();
    if (item.contains("from")) {
        const std::string from = item["from"].get<std::string>();
        std::ifstream in(from, std::ios::binary);
        if (!in)
            throw std::runtime_error("cannot read " + from);
        const std::string content{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        file.size = static_cast<std::uint32_t>(content.size());
        file.crc = static_cast<std::uint32_t>(
            crc32(0, reinterpret_cast<const Bytef *>(content.data()), static_cast<uInt>(content.size())));
    } else {
        file.size = item.at("size").get<std::uint32_t>();
        file.crc = static_cast<std::uint32_t>(std::stoul(item.at("crc").get<std::string>(), nullptr, 16));
    }
    return file;
}

} // namespace

OfferedContent readOfferedJson(const std::string &path)
{
    std::ifstream in(path);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    try {
        const auto json = nlohmann::json::parse(in);
        OfferedContent offer;
        const auto server = json.value("server", std::vector<std::string>{});
        for (std::size_t i = 0; i < server.size() && i < offer.serverTexts.size(); ++i)
            offer.serverTexts[i] = server[i];
        offer.deactivations = json.value("deactivate", std::string());
        for (const auto &item : json.value("packages", nlohmann::json::array())) {
            OfferedEntry entry;
            entry.name = item.at("name").get<std::string>();
            entry.url = item.value("url", std::string());
            entry.zipSize = item.value("zip_size", 0u);
            entry.comment = item.value("comment", std::string());
            entry.priority = item.value("priority", 0);
            for (const auto &file : item.value("files", nlohmann::json::array()))
                entry.files.push_back(fileFrom(file));
            offer.packages.push_back(std::move(entry));
        }
        return offer;
    } catch (const nlohmann::json::exception &error) {
        throw std::runtime_error(path + ": " + error.what());
    }
}

} // namespace garrison::peers
