// Text in the WAV chunks, the INFO frames, and the fixed bext and cart records.

#include "tags/io/Bytes.h"
#include "tags/io/TextCodec.h"
#include "tags/wav/WAVTag.h"

#include <algorithm>
#include <cstring>

namespace vantor {

namespace {

bool HasHighByte(std::string_view bytes)
{
    return std::any_of(bytes.begin(), bytes.end(), [](char c) { return uint8_t(c) >= 0x80; });
}

std::vector<uint8_t> ToBytes(std::string_view text) { return std::vector<uint8_t>(text.begin(), text.end()); }

// A text field of a fixed record.
struct TRecordText {
    size_t Offset, Width;
    std::string TBEXTFields::*Bext;
    std::string TCARTFields::*Cart;
};

const TRecordText BextTexts[] = {
    { 0, 256, &TBEXTFields::Description, nullptr },
    { 256, 32, &TBEXTFields::Originator, nullptr },
    { 288, 32, &TBEXTFields::OriginatorReference, nullptr },
    { 320, 10, &TBEXTFields::OriginationDate, nullptr },
    { 330, 8, &TBEXTFields::OriginationTime, nullptr },
};
constexpr size_t BextTimeReference = 338, BextVersion = 346, BextUMID = 348, UMIDSize = 64;

const TRecordText CartTexts[] = {
    { 0, 4, nullptr, &TCARTFields::Version },
    { 4, 64, nullptr, &TCARTFields::Title },
    { 68, 64, nullptr, &TCARTFields::Artist },
    { 132, 64, nullptr, &TCARTFields::CutID },
    { 196, 64, nullptr, &TCARTFields::ClientID },
    { 260, 64, nullptr, &TCARTFields::Category },
    { 324, 64, nullptr, &TCARTFields::Classification },
    { 388, 64, nullptr, &TCARTFields::OutCue },
    { 452, 10, nullptr, &TCARTFields::StartDate },
    { 462, 8, nullptr, &TCARTFields::StartTime },
    { 470, 10, nullptr, &TCARTFields::EndDate },
    { 480, 8, nullptr, &TCARTFields::EndTime },
    { 488, 64, nullptr, &TCARTFields::ProducerAppID },
    { 552, 64, nullptr, &TCARTFields::ProducerAppVersion },
    { 616, 64, nullptr, &TCARTFields::UserDef },
    { 748, 276, nullptr, &TCARTFields::Reserved },
    { 1024, 1024, nullptr, &TCARTFields::URL },
};
constexpr size_t CartLevelReference = 680, CartPostTimers = 684;

std::string FieldText(const uint8_t* record, const TRecordText& t) { return DecodeWAVText(record + t.Offset, t.Width); }

void StoreFieldText(uint8_t* record, size_t offset, size_t width, const std::string& text)
{
    std::memset(record + offset, 0, width);
    const std::vector<uint8_t> bytes = EncodeWAVText(text, width);
    std::copy(bytes.begin(), bytes.end(), record + offset);
}

std::string UMIDText(const uint8_t* umid)
{
    static const char Digits[] = "0123456789ABCDEF";
    std::string text;
    for (size_t i = 0; i < UMIDSize; ++i) {
        if (i)
            text += ' ';
        text += Digits[umid[i] >> 4];
        text += Digits[umid[i] & 15];
    }
    return text;
}

// Up to 64 space-separated hexadecimal numbers; a token that is not one stores 0.
void StoreUMID(uint8_t* umid, const std::string& text)
{
    std::memset(umid, 0, UMIDSize);
    size_t i = 0;
    for (size_t at = 0; at < text.size() && i < UMIDSize;) {
        if (text[at] == ' ') {
            ++at;
            continue;
        }
        const size_t end = std::min(text.find(' ', at), text.size());
        const std::string token = text.substr(at, end - at);
        unsigned long value = 0;
        char* stop = nullptr;
        value = std::strtoul(token.c_str(), &stop, 16);
        umid[i++] = stop && *stop == 0 && !token.empty() && value <= 0xFF ? uint8_t(value) : 0;
        at = end;
    }
}

// The first four characters of a usage code, one byte each, padded with spaces.
void StoreUsage(uint8_t* p, const std::string& usage)
{
    const std::string bytes = Utf8ToCp1252(usage);
    for (size_t i = 0; i < 4; ++i)
        p[i] = i < bytes.size() ? uint8_t(bytes[i]) : uint8_t(' ');
}

} // namespace

// --- text ---

std::vector<uint8_t> EncodeWAVText(std::string_view input, size_t limit)
{
    const std::string text = SanitizeUtf8(input.substr(0, input.find('\0')));
    std::string ansi = Utf8ToCp1252(text);
    if (Cp1252ToUtf8(ansi) == text) {
        if (ansi.size() > limit)
            ansi.resize(limit);
        // Windows-1252 bytes that also form valid UTF-8 would read back as other text.
        if (!HasHighByte(ansi) || !IsValidUtf8Bytes(ansi))
            return ToBytes(ansi);
    }
    size_t n = std::min(text.size(), limit);
    while (n > 0 && n < text.size() && (uint8_t(text[n]) & 0xC0) == 0x80)
        --n;
    return ToBytes(std::string_view(text).substr(0, n));
}

std::string DecodeWAVText(const uint8_t* bytes, size_t size)
{
    const auto* end = std::find(bytes, bytes + size, uint8_t(0));
    return Utf8OrCp1252(std::string_view(reinterpret_cast<const char*>(bytes), size_t(end - bytes)));
}

// --- frames ---

std::string TWAVTagFrame::GetAsText() const
{
    if (Format != TWAVTagFrameFormat::ffText)
        return {};
    // Writers differ in ending the text with a NUL or not; the text ends at the first NUL.
    return DecodeWAVText(Value.data(), Value.size());
}

bool TWAVTagFrame::SetAsText(const std::string& text)
{
    if (text.empty()) {
        Value.clear();
        return true;
    }
    Value = EncodeWAVText(text);
    Value.push_back(0);
    Format = TWAVTagFrameFormat::ffText;
    return true;
}

bool TWAVTagFrame::GetAsList(TNameValueList& list) const
{
    list.clear();
    if (Format != TWAVTagFrameFormat::ffText)
        return false;
    const std::string text = DecodeWAVText(Value.data(), Value.size());
    std::vector<std::string> parts;
    for (size_t at = 0; at < text.size();) {
        const size_t end = text.find("\r\n", at);
        parts.push_back(text.substr(at, end == std::string::npos ? std::string::npos : end - at));
        at = end == std::string::npos ? text.size() : end + 2;
    }
    for (size_t i = 0; i < parts.size(); i += 2)
        list.push_back(parts[i] + "=" + (i + 1 < parts.size() ? parts[i + 1] : std::string()));
    return true;
}

void TWAVTagFrame::SetAsList(const TNameValueList& list)
{
    // Names and values are encoded as one text, so that they all read back in one encoding.
    std::string text;
    for (const std::string& line : list) {
        const size_t eq = line.find('=');
        text += line.substr(0, eq) + "\r\n" + (eq == std::string::npos ? std::string() : line.substr(eq + 1)) + "\r\n";
    }
    Value = EncodeWAVText(text);
    Value.push_back(0);
    Format = TWAVTagFrameFormat::ffText;
}

void TWAVTagFrame::Clear()
{
    Format = TWAVTagFrameFormat::ffUnknown;
    Value.clear();
}

void TWAVTagFrame::Assign(const TWAVTagFrame& source)
{
    Format = source.Format;
    Value = source.Value;
}

// --- bext and cart ---

void DecodeBEXT(const TBEXT& record, TBEXTFields& fields)
{
    const uint8_t* p = record.BEXTChunk.data();
    for (const TRecordText& t : BextTexts)
        fields.*t.Bext = FieldText(p, t);
    fields.TimeReference = GetLE64(p + BextTimeReference);
    fields.Version = GetLE16(p + BextVersion);
    fields.UMID = fields.Version == 0 ? std::string() : UMIDText(p + BextUMID);
    fields.CodingHistory = DecodeWAVText(record.CodingHistoryBytes.data(), record.CodingHistoryBytes.size());
}

void EncodeBEXT(const TBEXTFields& fields, const TBEXTFields& asLoaded, TBEXT& record)
{
    uint8_t* p = record.BEXTChunk.data();
    for (const TRecordText& t : BextTexts)
        if (fields.*t.Bext != asLoaded.*t.Bext)
            StoreFieldText(p, t.Offset, t.Width, fields.*t.Bext);
    if (fields.TimeReference != asLoaded.TimeReference)
        PutLE64(p + BextTimeReference, fields.TimeReference);
    if (fields.Version != asLoaded.Version)
        PutLE16(p + BextVersion, fields.Version);
    if (fields.UMID != asLoaded.UMID)
        StoreUMID(p + BextUMID, fields.UMID);
    if (fields.CodingHistory != asLoaded.CodingHistory)
        record.CodingHistoryBytes = EncodeWAVText(fields.CodingHistory);
}

void DecodeCART(const TCART& record, TCARTFields& fields)
{
    const uint8_t* p = record.CARTChunk.data();
    for (const TRecordText& t : CartTexts)
        fields.*t.Cart = FieldText(p, t);
    fields.LevelReference = int32_t(GetLE32(p + CartLevelReference));
    for (size_t i = 0; i < fields.PostTimers.size(); ++i) {
        fields.PostTimers[i].Usage = DecodeWAVText(p + CartPostTimers + 8 * i, 4);
        fields.PostTimers[i].Value = GetLE32(p + CartPostTimers + 8 * i + 4);
    }
    fields.TagText = DecodeWAVText(record.TagTextBytes.data(), record.TagTextBytes.size());
}

void EncodeCART(const TCARTFields& fields, const TCARTFields& asLoaded, TCART& record)
{
    uint8_t* p = record.CARTChunk.data();
    for (const TRecordText& t : CartTexts)
        if (fields.*t.Cart != asLoaded.*t.Cart)
            StoreFieldText(p, t.Offset, t.Width, fields.*t.Cart);
    if (fields.LevelReference != asLoaded.LevelReference)
        PutLE32(p + CartLevelReference, uint32_t(fields.LevelReference));
    for (size_t i = 0; i < fields.PostTimers.size(); ++i) {
        const TCARTPostTimer& timer = fields.PostTimers[i];
        const TCARTPostTimer& old = asLoaded.PostTimers[i];
        if (timer.Usage == old.Usage && timer.Value == old.Value)
            continue;
        uint8_t* entry = p + CartPostTimers + 8 * i;
        if (timer.Usage.empty() && timer.Value == 0) {
            std::memset(entry, 0, 8);
            continue;
        }
        StoreUsage(entry, timer.Usage);
        PutLE32(entry + 4, timer.Value);
    }
    if (fields.TagText != asLoaded.TagText)
        record.TagTextBytes = EncodeWAVText(fields.TagText);
}

} // namespace vantor
