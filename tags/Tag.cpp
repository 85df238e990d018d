#include "tags/Tag.h"

#include "tags/Tags.h"
#include "tags/io/TextCodec.h"

namespace vantor {

void TTag::Clear()
{
    Name.clear();
    Value.clear();
    Language.clear();
    Description.clear();
}

bool TTag::Assign(const TTag* source)
{
    Clear();
    if (source) {
        Name = source->Name;
        Value = source->Value;
        Language = source->Language;
        Description = source->Description;
    }
    return true;
}

bool TTag::Delete() { return Parent && Parent->Delete(Index); }

bool TTag::Remove() { return Parent && Parent->Remove(Index); }

bool TTag::SetAsList(const TNameValueList& list)
{
    Value.clear();
    for (const std::string& entry : list)
        Value += ListEntryName(entry) + "\r\n" + ListEntryValue(entry) + "\r\n";
    return true;
}

bool TTag::GetAsList(TNameValueList& list) const
{
    list.clear();
    const std::vector<std::string> lines = SplitTextLines(Value);
    if (lines.empty() || lines.size() % 2 != 0)
        return true;
    for (size_t i = 0; i < lines.size(); i += 2)
        list.push_back(lines[i] + "=" + lines[i + 1]);
    return true;
}

} // namespace vantor
