#include "tags/ogg/OggStream.h"

#include "tags/io/Bytes.h"

#include <algorithm>

namespace vantor {

namespace {

constexpr uint64_t FullPagePayload = 17 * 255;
constexpr uint64_t CopyBufferSize = 1 << 20;

// Lacing values of n bytes that end a packet.
void AppendLacing(std::vector<uint8_t>& lacing, uint64_t n)
{
    lacing.insert(lacing.end(), size_t(n / 255), 255);
    lacing.push_back(uint8_t(n % 255));
}

// Reads a whole page at the stream's position into page; false when the page
// is cut short by the end of the stream.
bool ReadWholePage(TStream& stream, TOggHeader& header, std::vector<uint8_t>& page)
{
    if (!ReadOggHeader(stream, header))
        return false;
    page = header.Encode();
    const size_t headerSize = page.size();
    const uint32_t payload = header.PayloadSize();
    page.resize(headerSize + payload);
    return stream.Read(page.data() + headerSize, payload) == payload;
}

} // namespace

bool CopyStreamRange(TStream& from, uint64_t start, uint64_t size, TStream& to)
{
    std::vector<uint8_t> block;
    from.Seek(start);
    while (size > 0) {
        block.resize(size_t(std::min<uint64_t>(size, CopyBufferSize)));
        if (!from.ReadExact(block.data(), block.size()) || !to.Write(block))
            return false;
        size -= block.size();
    }
    return true;
}

uint64_t TOggPageLayout::PayloadSize() const
{
    uint64_t sum = 0;
    for (uint8_t v : Lacing)
        sum += v;
    return sum;
}

std::vector<TOggPageLayout> LayoutOggPackets(const std::vector<uint64_t>& packetSizes)
{
    std::vector<TOggPageLayout> pages;
    bool continued = false;
    for (size_t p = 0; p < packetSizes.size(); ++p) {
        uint64_t rest = packetSizes[p];
        if (p > 0 && !pages.empty()) {
            // The next packet starts on the page where the previous one ended.
            std::vector<uint8_t>& lacing = pages.back().Lacing;
            const uint64_t room = 255 - lacing.size();
            if (rest / 255 + 1 <= room) {
                AppendLacing(lacing, rest);
                continue;
            }
            lacing.insert(lacing.end(), size_t(room), 255);
            rest -= room * 255;
            continued = room > 0;
        }
        while (rest > FullPagePayload) {
            pages.push_back({ std::vector<uint8_t>(17, 255), continued });
            rest -= FullPagePayload;
            continued = true;
        }
        TOggPageLayout last { {}, continued };
        AppendLacing(last.Lacing, rest);
        pages.push_back(std::move(last));
        continued = false;
    }
    return pages;
}

TOGGStream::TOGGStream(TStream& stream)
    : FStream(stream)
{
    const uint64_t at = stream.Position();
    ReadOggHeader(stream, FirstOGGHeader);
    stream.Seek(at);
}

bool TOGGStream::CopyNextPage(TStream* out, bool payloadOnly)
{
    TOggHeader header;
    std::vector<uint8_t> page;
    if (!ReadWholePage(FStream, header, page))
        return false;
    ++LastPageQueried;
    if (!out)
        return true;
    const size_t skip = payloadOnly ? OggHeaderSize + header.Segments : 0;
    return out->Write(page.data() + skip, page.size() - skip);
}

bool TOGGStream::GetPage(uint64_t pageNumber, TStream& out)
{
    FStream.Seek(0);
    for (uint64_t i = 1; i < pageNumber; ++i)
        if (!CopyNextPage(nullptr, false))
            return false;
    return pageNumber > 0 && CopyNextPage(&out, false);
}

bool TOGGStream::GetPageData(uint64_t pageNumber, TStream& out)
{
    FStream.Seek(0);
    for (uint64_t i = 1; i < pageNumber; ++i)
        if (!CopyNextPage(nullptr, false))
            return false;
    return pageNumber > 0 && CopyNextPage(&out, true);
}

bool TOGGStream::GetNextPage(TStream& out) { return CopyNextPage(&out, false); }

bool TOGGStream::GetNextPageData(TStream& out) { return CopyNextPage(&out, true); }

bool TOGGStream::GetNextPageHeader(TOggHeader& header, TStream* out)
{
    const uint64_t at = FStream.Position();
    if (!ReadOggHeader(FStream, header) || !header.HasCapturePattern()) {
        FStream.Seek(at);
        return false;
    }
    FStream.Seek(at);
    return CopyNextPage(out, false);
}

int TOGGStream::WritePages(const std::vector<TOggPageLayout>& layout, TStream& tag, TStream& out, uint32_t firstNumber)
{
    TOggHeader header = FirstOGGHeader;
    header.AbsolutePosition = 0;
    header.Checksum = 0;
    uint32_t number = firstNumber;
    std::vector<uint8_t> page;
    for (const TOggPageLayout& pageLayout : layout) {
        header.TypeFlag = pageLayout.Continued ? OggContinued : 0;
        header.PageNumber = number++;
        header.Segments = uint8_t(pageLayout.Lacing.size());
        std::copy(pageLayout.Lacing.begin(), pageLayout.Lacing.end(), header.LacingValues);
        page = header.Encode();
        const size_t headerSize = page.size();
        const uint64_t payload = pageLayout.PayloadSize();
        page.resize(headerSize + size_t(payload));
        if (tag.Read(page.data() + headerSize, size_t(payload)) != payload)
            return 0;
        SetOggPageCrc(page.data(), page.size());
        if (!out.Write(page))
            return 0;
    }
    return int(layout.size());
}

int TOGGStream::CreateTagStream(TStream& tag, TStream& out, uint32_t startPageNumber)
{
    return WritePages(LayoutOggPackets({ tag.Remaining() }), tag, out, startPageNumber);
}

int TOGGStream::CreateTagStreamVorbis(uint64_t tagSize, TStream& tag, TStream& out)
{
    const uint64_t total = tag.Remaining();
    if (tagSize > total)
        return 0;
    return WritePages(LayoutOggPackets({ tagSize, total - tagSize }), tag, out, FirstOGGHeader.PageNumber);
}

namespace {
uint64_t WrappedSize(const std::vector<TOggPageLayout>& layout)
{
    uint64_t size = 0;
    for (const TOggPageLayout& page : layout)
        size += OggHeaderSize + page.Lacing.size() + page.PayloadSize();
    return size;
}
} // namespace

uint64_t TOGGStream::CalculateWrappedStreamSize(uint64_t inputDataSize)
{
    // Full pages of 27 + 17 + 4335 bytes, then one page with the rest.
    const uint64_t fullPages = inputDataSize > FullPagePayload ? (inputDataSize - 1) / FullPagePayload : 0;
    const uint64_t rest = inputDataSize - fullPages * FullPagePayload;
    return fullPages * (OggHeaderSize + 17 + FullPagePayload) + OggHeaderSize + rest / 255 + 1 + rest;
}

uint64_t TOGGStream::CalculateWrappedStreamSizeVorbis(uint64_t tagSize, uint64_t inputDataSize)
{
    if (tagSize > inputDataSize)
        return 0;
    return WrappedSize(LayoutOggPackets({ tagSize, inputDataSize - tagSize }));
}

bool TOGGStream::ReNumberPages(uint32_t firstNumber, TStream& source, TStream& destination)
{
    TOggHeader header;
    std::vector<uint8_t> page;
    uint32_t number = firstNumber;
    while (source.Remaining() > 0) {
        const uint64_t at = source.Position();
        if (!ReadWholePage(source, header, page) || !header.HasCapturePattern()) {
            // Whatever follows the last whole page (a cut-off page, a trailing tag)
            // is kept as it is.
            source.Seek(at);
            std::vector<uint8_t> block;
            while (source.Remaining() > 0) {
                block.resize(size_t(std::min<uint64_t>(source.Remaining(), CopyBufferSize)));
                if (!source.ReadExact(block.data(), block.size()) || !destination.Write(block))
                    return false;
            }
            return true;
        }
        if (header.Serial == FirstOGGHeader.Serial) {
            PutLE32(page.data() + 18, number++);
            SetOggPageCrc(page.data(), page.size());
        }
        if (!destination.Write(page))
            return false;
    }
    return true;
}

} // namespace vantor
