#pragma once

#include <nlohmann/json.hpp>

#include <string>

namespace garrison::cli {

// JSON as text; bytes that are no UTF-8 (a path in another encoding, a
// server's raw text) become U+FFFD instead of ending the program.
template <typename Json>
std::string jsonText(const Json &json, int indent = 2)
{
    return json.dump(indent, ' ', false, Json::error_handler_t::replace);
}

} // namespace garrison::cli
