// The item list: finding, adding, deleting and typed access by item id.

#include "tags/mp4/MP4Tag.h"

#include "tags/io/TextCodec.h"

namespace vantor {

void TMP4Tag::Renumber(size_t from)
{
    for (size_t i = from; i < Atoms.size(); ++i)
        Atoms[i]->Index = int(i);
}

void TMP4Tag::ResetProperties()
{
    FLoaded = false;
    FFileSize = FmdatAtomSize = 0;
    FPlaytime = 0;
    FAudioChannelCount = 0;
    FAudioResolution = FAudioSampleRate = FBitRate = 0;
    FVideoWidth = FVideoHeight = 0;
    FAudioFormat = mp4afUnknown;
}

void TMP4Tag::Clear()
{
    Atoms.clear();
    ResetProperties();
    Version = 0;
    Flags = 0;
}

TMP4Atom* TMP4Tag::AddAtom(const std::string& atomName)
{
    Atoms.push_back(std::make_unique<TMP4Atom>(this, AtomName(atomName), int(Atoms.size())));
    return Atoms.back().get();
}

TMP4Atom* TMP4Tag::FindAtom(const std::string& atomName) const
{
    const TAtomName id = AtomName(atomName);
    for (const auto& atom : Atoms)
        if (atom->ID == id)
            return atom.get();
    return nullptr;
}

TMP4Atom* TMP4Tag::FindAtomCommon(const std::string& atomName, const std::string& _name, const std::string& _mean) const
{
    const TAtomName id = AtomName(atomName);
    for (const auto& atom : Atoms)
        if (atom->ID == id && SameTextAscii(atom->name.GetAsText(), _name)
            && SameTextAscii(atom->mean.GetAsText(), _mean))
            return atom.get();
    return nullptr;
}

bool TMP4Tag::DeleteAtom(int index)
{
    if (index < 0 || size_t(index) >= Atoms.size())
        return false;
    Atoms.erase(Atoms.begin() + index);
    Renumber(size_t(index));
    return true;
}

bool TMP4Tag::DeleteAtom(const std::string& atomName)
{
    const TMP4Atom* atom = FindAtom(atomName);
    return atom && DeleteAtom(atom->Index);
}

bool TMP4Tag::DeleteAllAtoms(const std::string& atomName)
{
    const TAtomName id = AtomName(atomName);
    const size_t before = Atoms.size();
    std::erase_if(Atoms, [&id](const auto& atom) { return atom->ID == id; });
    Renumber(0);
    return Atoms.size() != before;
}

uint64_t TMP4Tag::CalculateSize() const
{
    if (Atoms.empty())
        return 0;
    uint64_t size = 8;
    for (const auto& atom : Atoms)
        size += atom->CalculateAtomSize();
    return size;
}

TMP4Atom& TMP4Tag::FindOrAdd(const std::string& atomName)
{
    TMP4Atom* atom = FindAtom(atomName);
    return atom ? *atom : *AddAtom(atomName);
}

TMP4Atom& TMP4Tag::FindOrAddCommon(const std::string& _name, const std::string& _mean)
{
    TMP4Atom* atom = FindAtomCommon("----", _name, _mean);
    return atom ? *atom : *AddAtom("----");
}

std::string TMP4Tag::GetText(const std::string& atomName) const
{
    const TMP4Atom* atom = FindAtom(atomName);
    return atom ? atom->GetAsText() : std::string();
}

uint64_t TMP4Tag::GetInteger(const std::string& atomName) const
{
    const TMP4Atom* atom = FindAtom(atomName);
    return atom ? atom->GetAsInteger() : 0;
}

uint8_t TMP4Tag::GetInteger8(const std::string& atomName) const
{
    const TMP4Atom* atom = FindAtom(atomName);
    return atom ? atom->GetAsInteger8() : 0;
}

uint16_t TMP4Tag::GetInteger16(const std::string& atomName) const
{
    const TMP4Atom* atom = FindAtom(atomName);
    return atom ? atom->GetAsInteger16() : 0;
}

uint32_t TMP4Tag::GetInteger32(const std::string& atomName) const
{
    const TMP4Atom* atom = FindAtom(atomName);
    return atom ? atom->GetAsInteger32() : 0;
}

uint64_t TMP4Tag::GetInteger48(const std::string& atomName) const
{
    const TMP4Atom* atom = FindAtom(atomName);
    return atom ? atom->GetAsInteger48() : ~uint64_t(0);
}

uint64_t TMP4Tag::GetInteger64(const std::string& atomName) const
{
    const TMP4Atom* atom = FindAtom(atomName);
    return atom ? atom->GetAsInteger64() : ~uint64_t(0);
}

bool TMP4Tag::GetBool(const std::string& atomName) const
{
    const TMP4Atom* atom = FindAtom(atomName);
    return atom && atom->GetAsBool();
}

TNameValueList TMP4Tag::GetList(const std::string& atomName) const
{
    const TMP4Atom* atom = FindAtom(atomName);
    return atom ? atom->GetAsList() : TNameValueList();
}

void TMP4Tag::SetText(const std::string& atomName, const std::string& text)
{
    if (text.empty())
        DeleteAtom(atomName);
    else
        FindOrAdd(atomName).SetAsText(text);
}

void TMP4Tag::SetInteger8(const std::string& atomName, uint8_t value) { FindOrAdd(atomName).SetAsInteger8(value); }
void TMP4Tag::SetInteger16(const std::string& atomName, uint16_t value) { FindOrAdd(atomName).SetAsInteger16(value); }
void TMP4Tag::SetInteger32(const std::string& atomName, uint32_t value) { FindOrAdd(atomName).SetAsInteger32(value); }
void TMP4Tag::SetInteger48(const std::string& atomName, uint64_t value) { FindOrAdd(atomName).SetAsInteger48(value); }
void TMP4Tag::SetInteger64(const std::string& atomName, uint64_t value) { FindOrAdd(atomName).SetAsInteger64(value); }
void TMP4Tag::SetBool(const std::string& atomName, bool value) { FindOrAdd(atomName).SetAsBool(value); }
void TMP4Tag::SetList(const std::string& atomName, const TNameValueList& list) { FindOrAdd(atomName).SetAsList(list); }

std::string TMP4Tag::GetCommon(const std::string& _name, const std::string& _mean) const
{
    const TMP4Atom* atom = FindAtomCommon("----", _name, _mean);
    return atom ? atom->GetAsText() : std::string();
}

void TMP4Tag::SetCommon(const std::string& _name, const std::string& _mean, const std::string& value)
{
    FindOrAddCommon(_name, _mean).SetAsCommonText(_name, _mean, value);
}

void TMP4Tag::SetFreeFormList(const std::string& mean, const std::string& name, const TNameValueList& list)
{
    TMP4Atom& atom = FindOrAddCommon(name, mean);
    atom.name.SetAsText(name);
    atom.mean.SetAsText(mean);
    atom.SetAsList(list);
}

int TMP4Tag::CoverArtCount() const
{
    const TMP4Atom* atom = FindAtom("covr");
    return atom ? atom->Count() : 0;
}

std::vector<uint8_t> TMP4Tag::Cover(int index) const
{
    const TMP4Atom* atom = FindAtom("covr");
    if (!atom || index < 0 || index >= atom->Count())
        return {};
    return atom->Datas[size_t(index)]->Data;
}

bool TMP4Tag::CoverPlace(int index, uint64_t& offset, uint64_t& size) const
{
    const TMP4Atom* atom = FindAtom("covr");
    if (!atom || index < 0 || index >= atom->Count() || atom->Datas[size_t(index)]->DeferredSize == 0)
        return false;
    offset = atom->Datas[size_t(index)]->DeferredOffset;
    size = atom->Datas[size_t(index)]->DeferredSize;
    return true;
}

bool TMP4Tag::HasDeferredCovers() const
{
    for (const auto& atom : Atoms)
        for (const auto& data : atom->Datas)
            if (data->DeferredSize != 0)
                return true;
    return false;
}

bool TMP4Tag::LoadDeferredCovers(TStream& source)
{
    bool all = true;
    for (const auto& atom : Atoms)
        for (const auto& data : atom->Datas) {
            if (data->DeferredSize == 0)
                continue;
            const uint64_t offset = data->DeferredOffset, size = data->DeferredSize;
            if (offset > source.Size() || source.Size() - offset < size) {
                all = false;
                continue;
            }
            std::vector<uint8_t> bytes(static_cast<size_t>(size));
            if (!source.Seek(offset) || !source.ReadExact(bytes.data(), bytes.size())) {
                all = false;
                continue;
            }
            data->Data = std::move(bytes);
            data->DeferredOffset = data->DeferredSize = 0;
        }
    return all;
}

void TMP4Tag::AddCover(const std::vector<uint8_t>& data, uint32_t dataType)
{
    TMP4AtomData* item = FindOrAdd("covr").AddData();
    item->Data = data;
    item->DataType = dataType;
}

bool TMP4Tag::GetMultipleValuesMultipleAtoms(const std::string& atomName, std::vector<std::string>& list) const
{
    const TAtomName id = AtomName(atomName);
    list.clear();
    for (const auto& atom : Atoms)
        if (atom->ID == id)
            list.push_back(atom->GetAsText());
    return !list.empty();
}

void TMP4Tag::SetMultipleValuesMultipleAtoms(const std::string& atomName, const std::vector<std::string>& list)
{
    DeleteAllAtoms(atomName);
    for (const std::string& value : list)
        AddAtom(atomName)->SetAsText(value);
}

void TMP4Tag::SetMultipleValuesCommaSeparated(const std::string& atomName, const std::vector<std::string>& list)
{
    DeleteAllAtoms(atomName);
    std::string text;
    for (size_t i = 0; i < list.size(); ++i)
        text += (i ? ", " : "") + list[i];
    AddAtom(atomName)->SetAsText(text);
}

void TMP4Tag::Assign(const TMP4Tag& source)
{
    if (&source == this)
        return;
    Clear();
    FileName = source.FileName;
    FLoaded = source.FLoaded;
    Version = source.Version;
    Flags = source.Flags;
    PaddingToWrite = source.PaddingToWrite;
    for (const auto& atom : source.Atoms)
        AddAtom(atom->ID)->Assign(*atom);
}

bool TMP4Tag::Assign(const TNativeTag& source)
{
    const auto* mp4 = dynamic_cast<const TMP4Tag*>(&source);
    if (!mp4)
        return false;
    Assign(*mp4);
    return true;
}

TAudioPropertySet TMP4Tag::AudioProperties() const
{
    TAudioPropertySet set;
    set.Channels = FAudioChannelCount;
    set.SamplesPerSec = FAudioSampleRate;
    set.BitsPerSample = uint16_t(FAudioResolution);
    set.PlayTime = FPlaytime;
    set.BitRate = FBitRate;
    return set;
}

} // namespace vantor
