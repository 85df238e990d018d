#include "player/single_instance/HandOverMessage.h"

namespace vantor {

namespace {

void PutU32(std::string& out, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// Reads an integer from the front of bytes; false when fewer than four bytes are left.
bool TakeU32(std::string_view& bytes, uint32_t& value)
{
    if (bytes.size() < 4)
        return false;
    value = 0;
    for (int i = 0; i < 4; ++i)
        value |= uint32_t(static_cast<unsigned char>(bytes[i])) << (8 * i);
    bytes.remove_prefix(4);
    return true;
}

}

std::string EncodeCopyData(std::vector<std::string> const& params, uint32_t tag)
{
    std::string data;
    for (std::string const& param : params) {
        if (param.empty())
            continue;
        data += param;
        data += '\0';
    }
    data += '\0';
    std::string out;
    PutU32(out, static_cast<uint32_t>(THandOverKind::CopyData));
    PutU32(out, tag);
    PutU32(out, static_cast<uint32_t>(data.size()));
    return out + data;
}

std::string EncodeEnsureRestore()
{
    std::string out;
    PutU32(out, static_cast<uint32_t>(THandOverKind::EnsureRestore));
    return out;
}

std::string EncodeAnswer(uint32_t answer)
{
    std::string out;
    PutU32(out, answer);
    return out;
}

std::optional<THandOverMessage> ParseHandOverMessage(std::string_view bytes)
{
    uint32_t kind = 0;
    if (!TakeU32(bytes, kind))
        return std::nullopt;
    THandOverMessage message;
    if (kind == static_cast<uint32_t>(THandOverKind::EnsureRestore)) {
        if (!bytes.empty())
            return std::nullopt;
        message.Kind = THandOverKind::EnsureRestore;
        return message;
    }
    if (kind != static_cast<uint32_t>(THandOverKind::CopyData))
        return std::nullopt;
    uint32_t size = 0;
    if (!TakeU32(bytes, message.Tag) || !TakeU32(bytes, size) || size != bytes.size())
        return std::nullopt;
    for (;;) {
        size_t const end = bytes.find('\0');
        if (end == std::string_view::npos || end == 0)
            break;
        message.Params.emplace_back(bytes.substr(0, end));
        bytes.remove_prefix(end + 1);
    }
    return message;
}

}
