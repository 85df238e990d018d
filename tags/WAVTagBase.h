#pragma once
// The RIFF INFO frames and the broadcast-wave bext and cart chunks as the
// unified model sees them.

#include "tags/NativeTag.h"

#include <array>

namespace vantor {

struct TBEXTFields {
    bool Loaded = false;
    std::string Description, Originator, OriginatorReference, OriginationDate, OriginationTime;
    uint64_t TimeReference = 0;
    uint16_t Version = 0;
    std::string UMID, CodingHistory;
};

struct TCARTPostTimer {
    std::string Usage; // four characters
    uint32_t Value = 0;
};

struct TCARTFields {
    bool Loaded = false;
    std::string Version, Title, Artist, CutID, ClientID, Category, Classification, OutCue, StartDate, StartTime,
        EndDate, EndTime, ProducerAppID, ProducerAppVersion, UserDef;
    int32_t LevelReference = 0;
    std::array<TCARTPostTimer, 8> PostTimers;
    std::string URL, Reserved, TagText;
};

class TWAVTagBase : public TNativeTag {
public:
    TBEXTFields BEXT;
    TCARTFields CART;

    virtual int FrameCount() const = 0;
    virtual std::string FrameID(int index) const = 0;
    virtual std::string FrameText(int index) const = 0;
    virtual TNameValueList FrameList(int index) const = 0;
    virtual void DeleteFrames(const std::string& id) = 0;
    // The first frame with the id (or a new one) gets the text.
    virtual void SetFrameText(const std::string& id, const std::string& text) = 0;
    virtual void AddListFrame(const std::string& id, const TNameValueList& list) = 0;
    // Marks the object loaded (used for tags handed over by the audio engine).
    virtual void MarkLoaded() = 0;
};

} // namespace vantor
