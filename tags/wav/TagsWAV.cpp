// RIFF INFO frames and the bext/cart chunks ↔ unified fields.

#include "tags/Tags.h"

#include "tags/FieldMaps.h"
#include "tags/NumberText.h"
#include "tags/WAVTagBase.h"
#include "tags/io/TextCodec.h"

namespace vantor {

namespace {

struct TBroadcastText {
    const char* Name;
    std::string TBEXTFields::*Bext;
    std::string TCARTFields::*Cart;
};

const TBroadcastText BextTexts[] = {
    { "BEXT Description", &TBEXTFields::Description, nullptr },
    { "BEXT Originator", &TBEXTFields::Originator, nullptr },
    { "BEXT OriginatorReference", &TBEXTFields::OriginatorReference, nullptr },
    { "BEXT OriginationDate", &TBEXTFields::OriginationDate, nullptr },
    { "BEXT OriginationTime", &TBEXTFields::OriginationTime, nullptr },
};

const TBroadcastText CartTextsBeforeLevel[] = {
    { "CART Version", nullptr, &TCARTFields::Version },
    { "CART Title", nullptr, &TCARTFields::Title },
    { "CART Artist", nullptr, &TCARTFields::Artist },
    { "CART CutID", nullptr, &TCARTFields::CutID },
    { "CART ClientID", nullptr, &TCARTFields::ClientID },
    { "CART Category", nullptr, &TCARTFields::Category },
    { "CART Classification", nullptr, &TCARTFields::Classification },
    { "CART OutCue", nullptr, &TCARTFields::OutCue },
    { "CART StartDate", nullptr, &TCARTFields::StartDate },
    { "CART StartTime", nullptr, &TCARTFields::StartTime },
    { "CART EndDate", nullptr, &TCARTFields::EndDate },
    { "CART EndTime", nullptr, &TCARTFields::EndTime },
    { "CART ProducerAppID", nullptr, &TCARTFields::ProducerAppID },
    { "CART ProducerAppVersion", nullptr, &TCARTFields::ProducerAppVersion },
    { "CART UserDef", nullptr, &TCARTFields::UserDef },
};

const TBroadcastText CartTextsAfterTimers[] = {
    { "CART URL", nullptr, &TCARTFields::URL },
    { "CART Reserved", nullptr, &TCARTFields::Reserved },
    { "CART TagText", nullptr, &TCARTFields::TagText },
};

// Sets a bext/cart field from a unified field; false for other names.
bool SetBroadcastField(TWAVTagBase& wav, const std::string& name, const std::string& value)
{
    for (const auto& t : BextTexts)
        if (SameTextAscii(name, t.Name)) {
            wav.BEXT.*t.Bext = value;
            return true;
        }
    if (SameTextAscii(name, "BEXT TimeReference")) {
        wav.BEXT.TimeReference = NumberOrZero<uint64_t>(value);
        return true;
    }
    if (SameTextAscii(name, "BEXT Version")) {
        wav.BEXT.Version = NumberOrZero<uint16_t>(value);
        return true;
    }
    if (SameTextAscii(name, "BEXT UMID")) {
        wav.BEXT.UMID = value;
        return true;
    }
    if (SameTextAscii(name, "BEXT CodingHistory")) {
        wav.BEXT.CodingHistory = value;
        return true;
    }
    for (const auto& t : CartTextsBeforeLevel)
        if (SameTextAscii(name, t.Name)) {
            wav.CART.*t.Cart = value;
            return true;
        }
    if (SameTextAscii(name, "CART LevelReference")) {
        wav.CART.LevelReference = NumberOrZero<int32_t>(value);
        return true;
    }
    for (int i = 0; i < 8; ++i)
        if (SameTextAscii(name, "CART PostTimer" + std::to_string(i))) {
            const size_t space = value.find(' ');
            TCARTPostTimer& timer = wav.CART.PostTimers[size_t(i)];
            timer.Usage = value.substr(0, space);
            timer.Value = space == std::string::npos ? 0 : NumberOrZero<uint32_t>(value.substr(space + 1));
            return true;
        }
    for (const auto& t : CartTextsAfterTimers)
        if (SameTextAscii(name, t.Name)) {
            wav.CART.*t.Cart = value;
            return true;
        }
    return false;
}

} // namespace

void TTags::LoadWAVTags()
{
    if (!WAVTag)
        return;
    TWAVTagBase& tag = *WAVTag;
    for (int i = 0; i < tag.FrameCount(); ++i) {
        const std::string name = RIFFInfoIDToName(tag.FrameID(i));
        if (!name.empty())
            RemoveFieldsNamed(name);
    }
    for (int i = 0; i < tag.FrameCount(); ++i) {
        const std::string id = tag.FrameID(i);
        const std::string name = RIFFInfoIDToName(id);
        if (name.empty())
            continue;
        if (name == "TRACKNUMBER" && tag.FrameText(i).find('/') != std::string::npos)
            AddNumberAndTotal("TRACKNUMBER", "TOTALTRACKS", tag.FrameText(i));
        else if (name == "TIPL" || name == "TMCL")
            AddField(id, JoinTextLines(tag.FrameList(i)));
        else
            AddField(name, tag.FrameText(i));
    }
    if (tag.BEXT.Loaded) {
        for (const auto& t : BextTexts)
            AddField(t.Name, tag.BEXT.*t.Bext);
        AddField("BEXT TimeReference", std::to_string(tag.BEXT.TimeReference));
        AddField("BEXT Version", std::to_string(tag.BEXT.Version));
        AddField("BEXT UMID", tag.BEXT.UMID);
        AddField("BEXT CodingHistory", tag.BEXT.CodingHistory);
    }
    if (tag.CART.Loaded) {
        for (const auto& t : CartTextsBeforeLevel)
            AddField(t.Name, tag.CART.*t.Cart);
        AddField("CART LevelReference", std::to_string(tag.CART.LevelReference));
        for (int i = 0; i < 8; ++i) {
            const TCARTPostTimer& timer = tag.CART.PostTimers[size_t(i)];
            AddField("CART PostTimer" + std::to_string(i), timer.Usage + " " + std::to_string(timer.Value));
        }
        for (const auto& t : CartTextsAfterTimers)
            AddField(t.Name, tag.CART.*t.Cart);
    }
}

int TTags::SaveWAVTag(const std::string& fileName, TStream* stream)
{
    if (!WAVTag)
        return FormatErrorCode;
    TWAVTagBase& tag = *WAVTag;
    std::vector<std::string> done;
    for (const auto& field : Tags) {
        if (SetBroadcastField(tag, field->Name, field->Value))
            continue;
        const std::string id = NameToRIFFInfoID(field->Name);
        if (id.empty())
            continue;
        if (TypeCount(field->Name) == 1) {
            if (id == "TIPL" || id == "TMCL") {
                tag.DeleteFrames(id);
                tag.AddListFrame(id, SplitTextLines(field->Value));
            } else {
                tag.SetFrameText(id, field->Value);
            }
        } else if (!ItemAlreadyOnList(done, field->Name)) {
            // Several values of one name share one frame.
            std::string joined;
            bool first = true;
            for (const auto& other : Tags)
                if (SameTextAscii(other->Name, field->Name)) {
                    joined += (first ? "" : ", ") + other->Value;
                    first = false;
                }
            tag.SetFrameText(id, joined);
            done.push_back(field->Name);
        }
    }
    return stream ? tag.SaveToStream(*stream) : tag.SaveToFile(fileName);
}

} // namespace vantor
