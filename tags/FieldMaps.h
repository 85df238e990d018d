#pragma once
// Native ids and unified field names. A name or id that is not in a table gives
// empty text. Names are upper-cased before lookup; ids compare exactly, except
// WMA attribute names, which compare case-insensitively.

#include <string>

namespace vantor {

std::string ID3v2FrameIDToName(const std::string& frameID);
// Saving direction: also "TRACK" → TRCK and "DISC" → TPOS.
std::string NameToID3v2FrameID(const std::string& name);

enum TID3v2FrameKind : int {
    fkBinary,
    fkText,
    fkUserText,
    fkURL,
    fkUserURL,
    fkContent,
    fkList,
    fkPlayCounter,
};
TID3v2FrameKind ID3v2FrameKind(const std::string& frameID);

// MP4 atom ids are 4 bytes; "©" is the byte 0xA9.
std::string MP4AtomToName(const std::string& atomID);
std::string NameToMP4Atom(const std::string& name);

std::string RIFFInfoIDToName(const std::string& infoID);
std::string NameToRIFFInfoID(const std::string& name);

std::string WMAAttributeToName(const std::string& attribute);
std::string NameToWMAAttribute(const std::string& name);

} // namespace vantor
