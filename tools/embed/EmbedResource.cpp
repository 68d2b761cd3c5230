// Build-time helper: turns a resource file into a C++ source holding its bytes,
// optionally packed as a 32-bit little-endian size followed by one zlib stream.
#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
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

} // namespace

int main(int argc, char **argv)
{
    if (argc != 5 || (std::string(argv[4]) != "packed" && std::string(argv[4]) != "plain")) {
        std::fprintf(stderr, "usage: garrison-embed INPUT OUTPUT.cpp SYMBOL packed|plain\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "garrison-embed: cannot read %s\n", argv[1]);
        return 1;
    }
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::vector<unsigned char> bytes(text.begin(), text.end());
    if (std::string(argv[4]) == "packed") {
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
