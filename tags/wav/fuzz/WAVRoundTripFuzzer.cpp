// Loads arbitrary bytes as WAV, changes INFO frames, bext and cart, saves, and
// checks that they read back and that every chunk that is not a tag chunk
// (the audio among them) is kept byte for byte and in order.
#include "tags/wav/RiffForm.h"
#include "tags/wav/WAVTag.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// The bytes of every chunk a save keeps: all but LIST/INFO and the first bext and cart (with
// allTags, no bext or cart at all).
std::vector<std::vector<uint8_t>> KeptChunks(vantor::TStream& stream, bool allTags = false)
{
    std::vector<std::vector<uint8_t>> kept;
    vantor::TRiffForm form;
    if (!vantor::ReadRiffForm(stream, form))
        return kept;
    bool bext = allTags, cart = allTags;
    for (const vantor::TRiffChunk& chunk : form.Chunks) {
        if (chunk.IsList("INFO") || (chunk.Is("bext") && !bext) || (chunk.Is("cart") && !cart)) {
            bext = bext || chunk.Is("bext");
            cart = cart || chunk.Is("cart");
            continue;
        }
        if (allTags && (chunk.Is("bext") || chunk.Is("cart")))
            continue;
        kept.push_back(stream.ReadAt(chunk.Header, chunk.Data() - chunk.Header + chunk.Size));
        // The RIFF size in ds64 changes with the tags.
        if (chunk.Is("ds64") && kept.back().size() >= 16)
            std::fill(kept.back().begin() + 8, kept.back().begin() + 16, 0);
    }
    return kept;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    vantor::TMemoryStream stream(data, size);
    vantor::TWAVTag tag;
    if (tag.LoadFromStream(stream) != vantor::wavSuccess)
        return 0;
    const auto keptBefore = KeptChunks(stream);
    const auto otherBefore = KeptChunks(stream, true);
    const std::string title(size % 300 + 1, 'T');
    tag.SetTextFrameText("INAM", title);
    tag.SetListFrameText("TIPL", { "producer=Some One", "mix=Caf\xC3\xA9" });
    tag.BEXT.Description = "round trip \xD0\x96";
    tag.BEXT.TimeReference = 0x123456789ull;
    tag.CART.Title = "cart";
    tag.CART.PostTimers[2] = { "SEG", 99 };
    if (tag.SaveToStream(stream) != vantor::wavSuccess)
        return 0;

    vantor::TWAVTag back;
    if (back.LoadFromStream(stream) != vantor::wavSuccess || back.ReadFrameByNameAsText("INAM") != title
        || back.BEXT.Description != "round trip \xD0\x96" || back.BEXT.TimeReference != 0x123456789ull
        || back.CART.Title != "cart" || back.CART.PostTimers[2].Value != 99)
        std::abort();
    vantor::TNameValueList list;
    if (!back.ReadFrameByNameAsList("TIPL", list) || list.size() != 2 || list[1] != "mix=Caf\xC3\xA9")
        std::abort();
    if (KeptChunks(stream) != keptBefore)
        std::abort();

    // Everything taken out again.
    back.DeleteAllFrames();
    back.BEXT = {};
    back.CART = {};
    back.BEXTRecord = {};
    back.CARTRecord = {};
    if (back.SaveToStream(stream) != vantor::wavSuccess)
        std::abort();
    vantor::TRiffForm form;
    if (!vantor::ReadRiffForm(stream, form))
        std::abort();
    for (const vantor::TRiffChunk& chunk : form.Chunks)
        if (chunk.IsList("INFO"))
            std::abort();
    if (KeptChunks(stream, true) != otherBefore)
        std::abort();
    return 0;
}
