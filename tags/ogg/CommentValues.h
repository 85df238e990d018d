#pragma once
// Value encodings shared by the comments of FLAC and Ogg: text, the
// name/value-pair list form and the size text shown for binary values.

#include "tags/TagTypes.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vantor {

// UTF-8 text of a comment value; control bytes other than CR and LF read as spaces.
std::string CommentValueText(const std::vector<uint8_t>& value);
// Per pair: the name, CR LF, the value, CR LF.
std::vector<uint8_t> EncodeCommentList(const TNameValueList& list);
// Back to "name=value" entries.
TNameValueList DecodeCommentList(const std::vector<uint8_t>& value);
// Base64 as comments hold it: characters outside the alphabet are skipped. With wholeGroups
// only complete groups of four characters count (the lead of a longer text).
std::vector<uint8_t> DecodeBase64Leniently(const uint8_t* text, size_t size, bool wholeGroups = false);
// "512 Byte", "1.50 KB", "2.00 MB" ...
std::string SizeText(uint64_t size);

} // namespace vantor
