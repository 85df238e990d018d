#include "tags/mp4/MP4Item.h"

#include "tags/io/Bytes.h"
#include "tags/mp4/MP4Tag.h"

namespace vantor {

// --- mean and name ---

std::string TMP4AtomText::GetAsText() const
{
    if (Data.size() < 4)
        return {};
    return std::string(Data.begin() + 4, Data.end());
}

void TMP4AtomText::SetAsText(const std::string& text)
{
    Data.clear();
    if (text.empty())
        return;
    Data.assign(4, 0);
    Data.insert(Data.end(), text.begin(), text.end());
}

// --- data atoms ---

uint64_t TMP4AtomData::ReadInteger(size_t width) const
{
    uint64_t value = 0;
    for (size_t i = 0; i < width; ++i)
        value = (value << 8) | (i < Data.size() ? Data[i] : 0);
    return value;
}

void TMP4AtomData::SetInteger(uint64_t value, size_t width)
{
    Data.assign(width, 0);
    for (size_t i = 0; i < width; ++i)
        Data[width - 1 - i] = uint8_t(value >> (8 * i));
    DataType = MP4DataInteger;
}

std::string TMP4AtomData::GetAsText() const
{
    return DataType == MP4DataText ? std::string(Data.begin(), Data.end()) : std::string();
}

uint8_t TMP4AtomData::GetAsInteger8() const { return IsInteger() ? uint8_t(ReadInteger(1)) : 0; }
uint16_t TMP4AtomData::GetAsInteger16() const { return IsInteger() ? uint16_t(ReadInteger(2)) : 0; }
uint32_t TMP4AtomData::GetAsInteger32() const { return IsInteger() ? uint32_t(ReadInteger(4)) : 0; }
uint64_t TMP4AtomData::GetAsInteger48() const { return IsInteger() ? ReadInteger(6) : ~uint64_t(0); }
uint64_t TMP4AtomData::GetAsInteger64() const { return IsInteger() ? ReadInteger(8) : ~uint64_t(0); }

void TMP4AtomData::GetAsInteger48(uint32_t& lowDWord, uint16_t& highWord) const
{
    const uint64_t value = GetAsInteger48();
    lowDWord = uint32_t(value);
    highWord = uint16_t(value >> 32);
}

void TMP4AtomData::GetAsInteger64(uint32_t& lowDWord, uint32_t& highDWord) const
{
    const uint64_t value = GetAsInteger64();
    lowDWord = uint32_t(value);
    highDWord = uint32_t(value >> 32);
}

uint64_t TMP4AtomData::GetAsInteger() const
{
    switch (Data.size()) {
    case 1: return GetAsInteger8();
    case 2: return GetAsInteger16();
    case 4: return GetAsInteger32();
    case 6: return GetAsInteger48();
    case 8: return GetAsInteger64();
    default: return 0;
    }
}

bool TMP4AtomData::GetAsBool() const { return IsInteger() && !Data.empty() && Data[0] != 0; }

TNameValueList TMP4AtomData::GetAsList() const
{
    TNameValueList list;
    const std::string text = GetAsText();
    std::vector<std::string> lines;
    for (size_t at = 0; at < text.size();) {
        size_t end = text.find("\r\n", at);
        if (end == std::string::npos)
            end = text.size();
        lines.push_back(text.substr(at, end - at));
        at = end + 2;
    }
    for (size_t i = 0; i + 1 < lines.size(); i += 2)
        list.push_back(lines[i] + "=" + lines[i + 1]);
    return list;
}

void TMP4AtomData::SetAsText(const std::string& text)
{
    Data.assign(text.begin(), text.end());
    DataType = MP4DataText;
}

void TMP4AtomData::SetAsInteger8(uint8_t value) { SetInteger(value, 1); }
void TMP4AtomData::SetAsInteger16(uint16_t value) { SetInteger(value, 2); }
void TMP4AtomData::SetAsInteger32(uint32_t value) { SetInteger(value, 4); }
void TMP4AtomData::SetAsInteger48(uint64_t value) { SetInteger(value, 6); }
void TMP4AtomData::SetAsInteger64(uint64_t value) { SetInteger(value, 8); }
void TMP4AtomData::SetAsBool(bool value) { SetInteger(value ? 1 : 0, 1); }

void TMP4AtomData::SetAsList(const TNameValueList& list)
{
    std::string text;
    for (const std::string& entry : list)
        text += ListEntryName(entry) + "\r\n" + ListEntryValue(entry) + "\r\n";
    SetAsText(text);
}

void TMP4AtomData::Clear()
{
    DataType = MP4DataInteger;
    Data.clear();
    DeferredOffset = DeferredSize = 0;
}

void TMP4AtomData::Assign(const TMP4AtomData& source)
{
    Data = source.Data;
    DeferredOffset = source.DeferredOffset;
    DeferredSize = source.DeferredSize;
    DataType = source.DataType;
    Reserved = source.Reserved;
}

void TMP4AtomData::Write(std::vector<uint8_t>& out) const
{
    AppendBE32(out, uint32_t(16 + Data.size()));
    out.insert(out.end(), { 'd', 'a', 't', 'a' });
    AppendBE32(out, DataType);
    AppendBE32(out, Reserved);
    out.insert(out.end(), Data.begin(), Data.end());
}

void TMP4AtomData::Delete() { Parent->DeleteData(Index); }

// --- items ---

TMP4Atom::TMP4Atom(TMP4Tag* parent, TAtomName id, int index)
    : ID(std::move(id))
    , Parent(parent)
    , Index(index)
{
}

TMP4AtomData* TMP4Atom::AddData()
{
    Datas.push_back(std::make_unique<TMP4AtomData>(this, int(Datas.size())));
    return Datas.back().get();
}

TMP4AtomData& TMP4Atom::First() { return Datas.empty() ? *AddData() : *Datas.front(); }

std::string TMP4Atom::GetAsText() const
{
    const TMP4AtomData* data = FirstOrNull();
    if (!data)
        return {};
    if (data->DataType == MP4DataText)
        return data->GetAsText();
    // Other types (pictures) have no text; integers always give a number here.
    if (!data->IsInteger())
        return {};
    return std::to_string(data->GetAsInteger());
}

uint8_t TMP4Atom::GetAsInteger8() const { return FirstOrNull() ? FirstOrNull()->GetAsInteger8() : 0; }
uint16_t TMP4Atom::GetAsInteger16() const { return FirstOrNull() ? FirstOrNull()->GetAsInteger16() : 0; }
uint32_t TMP4Atom::GetAsInteger32() const { return FirstOrNull() ? FirstOrNull()->GetAsInteger32() : 0; }
uint64_t TMP4Atom::GetAsInteger48() const { return FirstOrNull() ? FirstOrNull()->GetAsInteger48() : 0; }
uint64_t TMP4Atom::GetAsInteger64() const { return FirstOrNull() ? FirstOrNull()->GetAsInteger64() : 0; }
uint64_t TMP4Atom::GetAsInteger() const { return FirstOrNull() ? FirstOrNull()->GetAsInteger() : 0; }
bool TMP4Atom::GetAsBool() const { return FirstOrNull() && FirstOrNull()->GetAsBool(); }
TNameValueList TMP4Atom::GetAsList() const { return FirstOrNull() ? FirstOrNull()->GetAsList() : TNameValueList(); }

void TMP4Atom::SetAsText(const std::string& text) { First().SetAsText(text); }
void TMP4Atom::SetAsInteger8(uint8_t value) { First().SetAsInteger8(value); }
void TMP4Atom::SetAsInteger16(uint16_t value) { First().SetAsInteger16(value); }
void TMP4Atom::SetAsInteger32(uint32_t value) { First().SetAsInteger32(value); }
void TMP4Atom::SetAsInteger48(uint64_t value) { First().SetAsInteger48(value); }
void TMP4Atom::SetAsInteger64(uint64_t value) { First().SetAsInteger64(value); }
void TMP4Atom::SetAsBool(bool value) { First().SetAsBool(value); }
void TMP4Atom::SetAsList(const TNameValueList& list) { First().SetAsList(list); }

std::string TMP4Atom::GetAsCommonText(const std::string& _name, const std::string& _mean) const
{
    if (name.GetAsText() != _name || mean.GetAsText() != _mean)
        return {};
    return GetAsText();
}

void TMP4Atom::SetAsCommonText(const std::string& _name, const std::string& _mean, const std::string& value)
{
    name.SetAsText(_name);
    mean.SetAsText(_mean);
    SetAsText(value);
}

void TMP4Atom::Clear()
{
    Datas.clear();
    mean.Data.clear();
    name.Data.clear();
}

uint64_t TMP4Atom::CalculateAtomSize() const
{
    uint64_t size = 8;
    if (!mean.Data.empty())
        size += 8 + mean.Data.size();
    if (!name.Data.empty())
        size += 8 + name.Data.size();
    for (const auto& data : Datas)
        size += 16 + data->Data.size();
    return size;
}

void TMP4Atom::Write(std::vector<uint8_t>& out) const
{
    AppendAtomHeader(out, CalculateAtomSize(), ID);
    auto body = [&out](const char* type, const std::vector<uint8_t>& data) {
        if (data.empty())
            return;
        AppendAtomHeader(out, 8 + data.size(), type);
        out.insert(out.end(), data.begin(), data.end());
    };
    body("mean", mean.Data);
    body("name", name.Data);
    for (const auto& data : Datas)
        data->Write(out);
}

void TMP4Atom::Delete() { Parent->DeleteAtom(Index); }

void TMP4Atom::Renumber(size_t from)
{
    for (size_t i = from; i < Datas.size(); ++i)
        Datas[i]->Index = int(i);
}

bool TMP4Atom::DeleteData(int atomIndex)
{
    if (atomIndex < 0 || size_t(atomIndex) >= Datas.size())
        return false;
    Datas.erase(Datas.begin() + atomIndex);
    Renumber(size_t(atomIndex));
    return true;
}

void TMP4Atom::CompactAtomDataList()
{
    std::erase_if(Datas, [](const auto& data) { return data->Data.empty() && data->DataType == MP4DataInteger; });
    Renumber(0);
}

void TMP4Atom::Assign(const TMP4Atom& source)
{
    ID = source.ID;
    Flags = source.Flags;
    mean.Data = source.mean.Data;
    name.Data = source.name.Data;
    Datas.clear();
    for (const auto& data : source.Datas)
        AddData()->Assign(*data);
}

} // namespace vantor
