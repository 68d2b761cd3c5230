// Build-time helper: turns a resource file into a C++ source holding its bytes,
// optionally packed as a 32-bit little-endian size followed by one zlib stream.
// A stock-file list (one relative path a line) becomes the nested entry lists
// that the stock lookup reads before it is packed.
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::vector<unsigned char> pack(const std::string &text)
{
    uLongf bound = compressBound(static_cast<uLong>(text.size()));
    std::vector<unsigned char> packed(4 + bound);
    const auto size = static_cast<std::uint32_t>(text.size());
    for (int i = 0; i < 4; ++i)
        packed[i] = static_cast<unsigned char>(size >> (8 * i));
    if (compress2(packed.data() + 4, &bound, reinterpret_cast<const Bytef *>(text.data()),
                  static_cast<uLong>(text.size()), Z_BEST_COMPRESSION) != Z_OK)
        return {};
    packed.resize(4 + bound);
    return packed;
}

struct StockFolder {
    std::vector<std::string> names; // in the order first met
    std::map<std::string, StockFolder> folders;
};

void addStockPath(StockFolder &root, const std::string &path)
{
    StockFolder *folder = &root;
    std::size_t start = 0;
    while (start < path.size()) {
        const auto slash = path.find('\\', start);
        const auto end = slash == std::string::npos ? path.size() : slash + 1;
        const std::string name = path.substr(start, end - start);
        if (std::find(folder->names.begin(), folder->names.end(), name) == folder->names.end())
            folder->names.push_back(name);
        if (name.back() != '\\')
            break;
        folder = &folder->folders[name];
        start = end;
    }
}

// Each name, a NUL, and for a folder the offset just past its own list, then that list.
void writeStockList(const StockFolder &folder, std::string &out)
{
    for (const auto &name : folder.names) {
        out += name;
        out += '\0';
        if (name.back() != '\\')
            continue;
        const std::size_t offsetAt = out.size();
        out.append(4, '\0');
        writeStockList(folder.folders.at(name), out);
        const auto offset = static_cast<std::uint32_t>(out.size());
        for (int i = 0; i < 4; ++i)
            out[offsetAt + static_cast<std::size_t>(i)] = static_cast<char>(offset >> (8 * i));
    }
    out += '\0';
}

std::string stockTree(const std::string &list)
{
    StockFolder root;
    std::istringstream lines(list);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty() && line[0] != '#')
            addStockPath(root, line);
    }
    std::string out;
    writeStockList(root, out);
    return out;
}

} // namespace

int main(int argc, char **argv)
{
    const std::string mode = argc == 5 ? argv[4] : "";
    if (mode != "packed" && mode != "plain" && mode != "stocktree") {
        std::fprintf(stderr, "usage: garrison-embed INPUT OUTPUT.cpp SYMBOL packed|plain|stocktree\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "garrison-embed: cannot read %s\n", argv[1]);
        return 1;
    }
    std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (mode == "stocktree")
        text = stockTree(text);
    std::vector<unsigned char> bytes(text.begin(), text.end());
    if (mode != "plain") {
        bytes = pack(text);
        if (bytes.empty()) {
            std::fprintf(stderr, "garrison-embed: compression failed\n");
            return 1;
        }
    }
    std::ostringstream out;
    out << "// Generated from " << argv[1] << "; do not edit.\n#include <cstddef>\n\n"
        << "namespace garrison::resources {\n\nextern const unsigned char " << argv[3] << "[] = {";
    for (std::size_t i = 0; i < bytes.size(); ++i)
        out << (i % 16 == 0 ? "\n    " : " ") << static_cast<unsigned>(bytes[i]) << ',';
    out << "\n};\nextern const std::size_t " << argv[3] << "Size = " << bytes.size()
        << ";\n\n} // namespace garrison::resources\n";
    std::ofstream file(argv[2], std::ios::binary);
    file << out.str();
    return file ? 0 : 1;
}
