#include "aaserver/ServerRequest.h"

#include "common/ByteReader.h"
#include "common/LittleEndian.h"
#include "monitor/AutoAddonPackets.h"

namespace garrison {

ServerRequest parseServerRequest(std::span<const std::uint8_t> datagram)
{
    ServerRequest request;
    const ByteReader reader(datagram);
    if (datagram.size() < 4 || reader.at<std::uint16_t>(0) != kProtocolVersion)
        return request;
    const auto code = reader.at<std::uint16_t>(2);
    if (code == kListRequest && datagram.size() >= 5) {
        request.kind = ServerRequest::Kind::List;
        request.password = reader.textAt(4);
    } else if (code == kSendListRequest && datagram.size() == 4) {
        request.kind = ServerRequest::Kind::SendList;
    } else if (code == kChunkReRequest && datagram.size() == 6) {
        request.kind = ServerRequest::Kind::ReRequest;
        request.chunk = reader.at<std::uint16_t>(4);
    }
    return request;
}

std::vector<std::uint8_t> listAnnouncement(std::size_t chunkCount, std::uint64_t listId,
                                           std::optional<std::pair<std::uint32_t, std::uint16_t>> elapsedAndState)
{
    std::vector<std::uint8_t> answer;
    appendLittleEndian(answer, kListAnnouncement);
    appendLittleEndian(answer, static_cast<std::uint16_t>(chunkCount));
    appendLittleEndian(answer, listId);
    if (elapsedAndState) {
        appendLittleEndian(answer, elapsedAndState->first);
        appendLittleEndian(answer, elapsedAndState->second);
    }
    return answer;
}

std::vector<std::uint8_t> passwordRefusal()
{
    std::vector<std::uint8_t> answer;
    appendLittleEndian(answer, kPasswordRefused);
    appendLittleEndian(answer, std::uint16_t{0});
    return answer;
}

} // namespace garrison
