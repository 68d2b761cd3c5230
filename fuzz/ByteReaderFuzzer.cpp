#include "common/ByteReader.h"

#include <cstdlib>

// Reads a script of typed reads driven by the input itself; ASan catches any
// read past the span.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    garrison::ByteReader reader({data, size});
    std::size_t steps = 0;
    while (!reader.atEnd() && steps++ < 256) {
        std::uint8_t op = 0;
        reader.read(op);
        std::uint64_t value = 0;
        std::string text;
        switch (op % 5) {
        case 0:
            reader.read(value);
            break;
        case 1:
            reader.readText(text, op);
            break;
        case 2:
            text = reader.textAt(reader.at<std::uint16_t>(reader.position()), op);
            break;
        case 3: {
            std::uint8_t buffer[32];
            reader.readBytes(buffer, op % sizeof buffer);
            break;
        }
        default:
            value = reader.at<std::uint64_t>(reader.position() + op);
            break;
        }
        if (text.size() > size || reader.position() > size)
            std::abort();
    }
    return 0;
}
