#pragma once

// Display texts derived from track values: durations, sizes, channel counts, ratings.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vantor {

class TPlayerSession;

// "hh:nn:ss" of a play time in seconds, rounded to the millisecond, hours wrapping at 24;
// a leading "00:" is dropped ("03:25", "01:02:05").
std::string DurationText(double seconds);
// The same from a "PlayTime" value ("." or "," as decimal separator; 0 when unparsable).
std::string DurationTextFromPlayTime(std::string_view playTime);
// Bytes as "1.5 KB", "2 MB", "1024 bytes"; "0 bytes" for 0 or less. Units through the locale.
std::string SizeText(int64_t bytes, const TPlayerSession* session = nullptr);
// The locale text of a "Channels" value; other values come back unchanged.
std::string ChannelsText(std::string_view channels, const TPlayerSession* session = nullptr);
// "0".."5" for a "RATING" tag value; nothing for a value below 0 or above 256.
std::optional<std::string> RatingFromTag(std::string_view rating);
// The "RATING" tag value for 0..5 stars (kept within): the top of the 0..255 band that reads
// back as that many stars, as other programs write it.
std::string RatingTagValue(int stars);
// The size group label of a "FileSize" value ("1 Mb and Less" .. "500 Mb +").
std::string SizeGroupLabel(std::string_view fileSize);
// A play time for "PlayTime": general form, up to 15 significant digits.
std::string FormatPlayTime(double seconds);
// The size of a file in bytes; -1 when its attributes cannot be read.
int64_t FileSizeOf(std::string const& path);

}
