#include "tags/ogg/OpusTag.h"

#include "tags/PictureBlock.h"
#include "tags/io/Base64.h"
#include "tags/io/Bytes.h"
#include "tags/io/FileEditStream.h"
#include "tags/io/FileStream.h"
#include "tags/io/TextCodec.h"
#include "tags/ogg/CommentValues.h"
#include "tags/ogg/OggPacketReader.h"
#include "tags/ogg/OggStream.h"
#include "tags/ogg/ReplacementFile.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <unistd.h>

namespace vantor {

namespace {

const char PictureName[] = "METADATA_BLOCK_PICTURE";
const char PaddingName[] = "PADDING";

bool StartsWith(const std::vector<uint8_t>& bytes, const char* magic, size_t size) {
  return bytes.size() >= size && std::memcmp(bytes.data(), magic, size) == 0;
}

std::string_view Magic(TOggFormat format) {
  switch (format) {
  case ofOpus: return {"OpusTags", 8};
  case ofVorbis: return {"\x03vorbis", 7};
  case ofTheora: return {"\x81theora", 7};
  default: return {};
  }
}

uint64_t LeadingID3v2Size(TStream& stream) {
  const std::vector<uint8_t> head = stream.ReadAt(0, 10);
  if (head.size() < 10 || std::memcmp(head.data(), "ID3", 3) != 0)
    return 0;
  const uint64_t size = 10 + uint64_t(GetSyncsafe32(head.data() + 6));
  return size > stream.Size() ? 0 : size;
}

// Base64 decoding that skips every character outside the alphabet.
std::vector<uint8_t> DecodeBase64Leniently(const std::vector<uint8_t>& text) {
  std::string clean;
  clean.reserve(text.size());
  for (uint8_t c : text)
    if (std::isalnum(c) || c == '+' || c == '/')
      clean += char(c);
  std::vector<uint8_t> out;
  Base64Decode(clean, out);
  return out;
}

bool CopyRange(TStream& from, uint64_t start, uint64_t size, TStream& to) {
  std::vector<uint8_t> block;
  from.Seek(start);
  while (size > 0) {
    block.resize(size_t(std::min<uint64_t>(size, 1 << 20)));
    if (!from.ReadExact(block.data(), block.size()) || !to.Write(block))
      return false;
    size -= block.size();
  }
  return true;
}

} // namespace

// --- frames ---

std::string TOpusTagFrame::GetAsText() const {
  switch (Format) {
  case otffText: return CommentValueText(Value);
  case otffCoverArt: return "COVER ART BINARY " + SizeText(Value.size());
  case otffBinary: return "BINARY " + SizeText(Value.size());
  default: return {};
  }
}

void TOpusTagFrame::SetAsText(const std::string& text) {
  Value.assign(text.begin(), text.end());
  Format = otffText;
}

TNameValueList TOpusTagFrame::GetAsList() const { return DecodeCommentList(Value); }

void TOpusTagFrame::SetAsList(const TNameValueList& list) {
  Value = EncodeCommentList(list);
  Format = otffText;
}

// --- the tag ---

TOpusTag::TOpusTag() { PaddingSizeToWrite = 2048; }

void TOpusTag::Clear() {
  Frames.clear();
  FileName.clear();
  VendorString.clear();
  FLoaded = false;
  Info = TOggFileInfo();
  Format = ofUnknown;
  VorbisData.clear();
}

void TOpusTag::Renumber(size_t from) {
  for (size_t i = from; i < Frames.size(); ++i)
    Frames[i]->Index = int(i);
}

TOpusTagFrame* TOpusTag::AddFrame(const std::string& name) {
  auto frame = std::make_unique<TOpusTagFrame>();
  frame->Name = name;
  frame->Index = int(Frames.size());
  frame->Parent = this;
  Frames.push_back(std::move(frame));
  return Frames.back().get();
}

bool TOpusTag::DeleteFrame(int frameIndex) {
  if (frameIndex < 0 || frameIndex >= Count())
    return false;
  Frames.erase(Frames.begin() + frameIndex);
  Renumber(size_t(frameIndex));
  return true;
}

void TOpusTag::DeleteAllCoverArts() {
  std::erase_if(Frames, [](const auto& frame) { return frame->IsCoverArt(); });
  Renumber(0);
}

int TOpusTag::CoverArtCount() const {
  return int(std::count_if(Frames.begin(), Frames.end(), [](const auto& frame) { return frame->IsCoverArt(); }));
}

int TOpusTag::FrameExists(const std::string& name) const {
  for (const auto& frame : Frames)
    if (SameTextAscii(frame->Name, name))
      return frame->Index;
  return -1;
}

int TOpusTag::FrameTypeCount(const std::string& name) const {
  return int(std::count_if(Frames.begin(), Frames.end(), [&](const auto& frame) { return SameTextAscii(frame->Name, name); }));
}

int TOpusTag::AddTextFrame(const std::string& name, const std::string& text) {
  TOpusTagFrame* frame = AddFrame(name);
  frame->SetAsText(text);
  return frame->Index;
}

void TOpusTag::SetTextFrameText(const std::string& name, const std::string& text) {
  const int index = FrameExists(name);
  if (index >= 0)
    Frames[size_t(index)]->SetAsText(text);
  else
    AddTextFrame(name, text);
}

void TOpusTag::SetListFrameText(const std::string& name, const TNameValueList& list) {
  const int index = FrameExists(name);
  (index >= 0 ? Frames[size_t(index)].get() : AddFrame(name))->SetAsList(list);
}

std::string TOpusTag::ReadFrameByNameAsText(const std::string& name) const {
  const int index = FrameExists(name);
  return index >= 0 ? Frames[size_t(index)]->GetAsText() : std::string();
}

bool TOpusTag::ReadFrameByNameAsList(const std::string& name, TNameValueList& list) const {
  const int index = FrameExists(name);
  if (index < 0 || Frames[size_t(index)]->Format != otffText)
    return false;
  list = Frames[size_t(index)]->GetAsList();
  return true;
}

bool TOpusTag::DeleteFrameByName(const std::string& name) { return DeleteFrame(FrameExists(name)); }

void TOpusTag::AddTextComment(const std::string& name, const std::string& text) {
  if (!text.empty())
    AddTextFrame(name, text);
}

void TOpusTag::AddListComment(const std::string& name, const TNameValueList& list) {
  if (!list.empty())
    AddFrame(name)->SetAsList(list);
}

int TOpusTag::AddBinaryFrame(const std::string& name, const std::vector<uint8_t>& data) {
  TOpusTagFrame* frame = AddFrame(name);
  const std::string text = Base64Encode(data.data(), data.size());
  frame->Value.assign(text.begin(), text.end());
  frame->Format = otffBinary;
  return frame->Index;
}

bool TOpusTag::ReadBinaryFrame(int frameIndex, std::vector<uint8_t>& data) const {
  if (frameIndex < 0 || frameIndex >= Count())
    return false;
  data = DecodeBase64Leniently(Frames[size_t(frameIndex)]->Value);
  return true;
}

int TOpusTag::AddCoverArtFrame(const TNativePicture& picture) {
  const int index = AddFrame(PictureName)->Index;
  if (!SetCoverArtFrame(index, picture)) {
    DeleteFrame(index);
    return -1;
  }
  return index;
}

bool TOpusTag::SetCoverArtFrame(int frameIndex, const TNativePicture& picture) {
  if (frameIndex < 0 || frameIndex >= Count() || !SameTextAscii(Frames[size_t(frameIndex)]->Name, PictureName))
    return false;
  TNativePicture stored = picture;
  stored.MIMEType = LowerAscii(picture.MIMEType);
  const std::vector<uint8_t> block = BuildPictureBlock(stored);
  const std::string text = Base64Encode(block.data(), block.size());
  TOpusTagFrame& frame = *Frames[size_t(frameIndex)];
  frame.Value.assign(text.begin(), text.end());
  frame.Format = otffCoverArt;
  return true;
}

bool TOpusTag::GetCoverArtFromFrame(int frameIndex, TNativePicture& picture) const {
  if (frameIndex < 0 || frameIndex >= Count() || !Frames[size_t(frameIndex)]->IsCoverArt())
    return false;
  const std::vector<uint8_t> block = DecodeBase64Leniently(Frames[size_t(frameIndex)]->Value);
  picture = TNativePicture();
  picture.Name = Frames[size_t(frameIndex)]->Name;
  return ParsePictureBlock(block.data(), block.size(), picture);
}

TNativePicture TOpusTag::Picture(int index) const {
  TNativePicture picture;
  int seen = 0;
  for (const auto& frame : Frames)
    if (frame->IsCoverArt() && seen++ == index) {
      GetCoverArtFromFrame(frame->Index, picture);
      picture.Name = frame->Name;
      break;
    }
  return picture;
}

void TOpusTag::RemoveEmptyFrames() {
  std::erase_if(Frames, [](const auto& frame) { return frame->Value.empty(); });
  Renumber(0);
}

uint64_t TOpusTag::CalculateTotalFramesSize() const {
  uint64_t size = 0;
  for (const auto& frame : Frames)
    size += frame->CalculateTotalFrameSize() + 4;
  return size;
}

uint64_t TOpusTag::CalculateTagSize(bool includePadding) const {
  uint64_t size = VendorString.size() + CalculateTotalFramesSize() + 16;
  if (!includePadding)
    for (const auto& frame : Frames)
      if (frame->Name == PaddingName)
        size -= frame->CalculateTotalFrameSize() + 4;
  return size;
}

TAudioFormat TOpusTag::StreamFormat() const {
  switch (Format) {
  case ofOpus: return afOpus;
  case ofVorbis: return afOggVorbis;
  case ofTheora: return afOggTheora;
  default: return afUnknown;
  }
}

TAudioPropertySet TOpusTag::AudioProperties() const {
  TAudioPropertySet set;
  if (!FLoaded || Format == ofTheora)
    return set;
  set.Channels = Info.Channels;
  set.SamplesPerSec = Info.SampleRate;
  set.StopsBitsPerSampleWalk = Info.Channels > 0;
  set.PlayTime = Info.PlayTime;
  set.SampleCount = Info.SampleCount;
  set.BitRate = Info.BitRate;
  return set;
}

bool TOpusTag::Assign(const TNativeTag& source) {
  const auto* other = dynamic_cast<const TOpusTag*>(&source);
  if (!other)
    return false;
  if (other == this)
    return true;
  FileName = other->FileName;
  Format = other->Format;
  FLoaded = other->FLoaded;
  Frames.clear();
  for (const auto& frame : other->Frames) {
    TOpusTagFrame* copy = AddFrame(frame->Name);
    copy->Format = frame->Format;
    copy->Value = frame->Value;
  }
  return true;
}

// --- loading ---

int TOpusTag::LoadFromFile(const std::string& fileName) {
  Clear();
  TFileStream file;
  if (!FileExists(fileName) || !file.Open(fileName))
    return otrCannotOpen;
  const int result = LoadFromStream(file);
  if (result == otrSuccess)
    FileName = fileName;
  return result;
}

int TOpusTag::LoadFromStream(TStream& stream) {
  Clear();
  const uint64_t at = stream.Position();
  int result = otrError;
  try {
    result = Parse(stream);
  } catch (...) {
    result = otrError;
  }
  stream.Seek(at);
  return result;
}

void TOpusTag::ParseComments(const std::vector<uint8_t>& packet, size_t at) {
  auto u32 = [&](uint32_t& v) {
    if (packet.size() - at < 4)
      return false;
    v = GetLE32(packet.data() + at);
    at += 4;
    return true;
  };
  uint32_t vendorLength = 0, count = 0;
  if (!u32(vendorLength) || vendorLength > packet.size() - at)
    return;
  VendorString = SanitizeUtf8(std::string_view(reinterpret_cast<const char*>(packet.data() + at), vendorLength));
  at += vendorLength;
  if (!u32(count))
    return;
  for (uint32_t i = 0; i < count; ++i) {
    uint32_t length = 0;
    if (!u32(length) || length > packet.size() - at)
      return;
    const auto* begin = packet.data() + at;
    at += length;
    const auto* equals = static_cast<const uint8_t*>(std::memchr(begin, '=', length));
    if (!equals)
      continue;
    TOpusTagFrame* frame = AddFrame(UpperAscii(SanitizeUtf8(std::string_view(reinterpret_cast<const char*>(begin), size_t(equals - begin)))));
    frame->Value.assign(equals + 1, begin + length);
    frame->Format = frame->Name == PictureName ? otffCoverArt : otffText;
  }
}

int TOpusTag::Parse(TStream& stream) {
  Info.FileSize = stream.Size();
  Info.ID3v2Size = LeadingID3v2Size(stream);
  TOggPacketReader reader(stream, Info.ID3v2Size);
  std::vector<uint8_t> id, comment;
  if (!reader.NextPacket(id, 1 << 16))
    return otrError;
  if (StartsWith(id, "OpusHead", 8) && id.size() >= 19) {
    Format = ofOpus;
    Info.Channels = id[9];
    Info.PreSkip = GetLE16(id.data() + 10);
    Info.SampleRate = GetLE32(id.data() + 12);
  } else if (StartsWith(id, "\x01vorbis", 7) && id.size() >= 30) {
    Format = ofVorbis;
    Info.Channels = id[11];
    Info.SampleRate = GetLE32(id.data() + 12);
    Info.BitRateNominal = GetLE32(id.data() + 20);
  } else if (StartsWith(id, "\x80theora", 7)) {
    Format = ofTheora;
  } else {
    return otrError;
  }
  const bool idEndsPage = reader.PacketEndsPage();
  const std::string_view magic = Magic(Format);
  if (!reader.NextPacket(comment) || !StartsWith(comment, magic.data(), magic.size())) {
    Format = ofUnknown;
    return otrError;
  }
  Info.SPagePos = reader.PacketStartPage();
  ParseComments(comment, magic.size());
  FLoaded = true;
  bool complete = true;
  if (Format != ofOpus)
    complete = reader.NextPacket(VorbisData);
  Info.TagEndPos = reader.PageEnd();
  Info.HeaderOggPageCount = reader.PagesRead() + reader.ForeignPages();

  // The header pages can be rebuilt only when they hold nothing but the
  // header packets of this stream.
  Info.Rewritable = complete && idEndsPage && reader.PacketEndsPage();
  stream.Seek(Info.SPagePos);
  ReadOggHeader(stream, Info.CommentPage);
  for (uint64_t at = Info.SPagePos; Info.Rewritable && at < Info.TagEndPos;) {
    TOggHeader header;
    stream.Seek(at);
    if (!ReadOggHeader(stream, header) || header.Serial != reader.Serial())
      Info.Rewritable = false;
    at += header.PageSize();
    ++Info.HeaderPages;
  }

  if (Format == ofVorbis && Info.BitRateNominal > 0)
    Info.BitRate = uint32_t(std::lround(Info.BitRateNominal / 1000.0));
  if (ParsePlayTime && Format != ofTheora)
    ReadPlayTime(stream);
  return otrSuccess;
}

void TOpusTag::ReadPlayTime(TStream& stream) {
  // The granule position of the stream's last page, searched backwards.
  constexpr uint64_t Window = 40961 + OggHeaderSize;
  const uint64_t size = stream.Size();
  const uint64_t start = size > Window ? size - Window : 0;
  const std::vector<uint8_t> tail = stream.ReadAt(start, size - start);
  const uint32_t serial = Info.CommentPage.Serial;
  for (size_t i = tail.size() >= OggHeaderSize ? tail.size() - OggHeaderSize + 1 : 0; i-- > 0;) {
    if (std::memcmp(tail.data() + i, "OggS", 4) != 0)
      continue;
    const TOggHeader header = DecodeOggHeader(tail.data() + i, tail.size() - i);
    if (header.Serial == serial && header.AbsolutePosition != UINT64_MAX) {
      Info.SampleCount = header.AbsolutePosition;
      break;
    }
  }
  if (Format == ofOpus)
    Info.PlayTime = double(Info.SampleCount) / 48000.0;
  else if (Info.SampleRate > 0)
    Info.PlayTime = double(Info.SampleCount) / Info.SampleRate;
  if (Info.PlayTime <= 0 && Format == ofVorbis && Info.BitRateNominal > 0 && Info.Channels > 0)
    Info.PlayTime = double(Info.FileSize - Info.ID3v2Size) / Info.BitRateNominal / Info.Channels / 125.0 * 2;
  if (Info.PlayTime <= 0 || (Format == ofVorbis && Info.BitRateNominal > 0))
    return;
  uint64_t audioBytes = Info.FileSize > Info.TagEndPos ? Info.FileSize - Info.TagEndPos : 0;
  if (Format == ofOpus && DeepOpusBitRateScan) {
    audioBytes = 0;
    TOggHeader header;
    for (uint64_t at = Info.TagEndPos; stream.Seek(at) && ReadOggHeader(stream, header) && header.HasCapturePattern();
         at += header.PageSize())
      audioBytes += header.PayloadSize();
  }
  Info.BitRate = uint32_t(std::lround(double(audioBytes) / Info.PlayTime / 125.0));
}

// --- saving ---

std::vector<uint8_t> TOpusTag::BuildCommentPacket(TOggFormat format, uint64_t padding) const {
  std::vector<uint8_t> packet;
  const std::string_view magic = Magic(format);
  packet.insert(packet.end(), magic.begin(), magic.end());
  AppendLE32(packet, uint32_t(VendorString.size()));
  packet.insert(packet.end(), VendorString.begin(), VendorString.end());
  AppendLE32(packet, uint32_t(Frames.size()));
  for (const auto& frame : Frames) {
    const std::string name = UpperCaseFieldNamesToWrite ? UpperAscii(frame->Name) : frame->Name;
    AppendLE32(packet, uint32_t(name.size() + 1 + frame->Value.size()));
    packet.insert(packet.end(), name.begin(), name.end());
    packet.push_back('=');
    packet.insert(packet.end(), frame->Value.begin(), frame->Value.end());
  }
  if (format == ofVorbis) {
    packet.push_back(0x01);
    packet.insert(packet.end(), size_t(padding), 0);
  }
  return packet;
}

bool TOpusTag::AdjustPadding(uint64_t tagSize) {
  const bool allowed = WritePadding && PaddingSizeToWrite > 0;
  const uint64_t limit = std::max<uint64_t>(PaddingSizeToWrite, 13);
  while (DeleteFrameByName(PaddingName)) {
  }
  const uint64_t base = BuildCommentPacket(ofOpus, 0).size();
  if (TOGGStream::CalculateWrappedStreamSize(base) == tagSize)
    return true;
  if (!allowed)
    return false;
  // A "PADDING=###..." comment adds 4 + 8 + k bytes to the packet.
  for (uint64_t k = 1; k + 6 <= limit; ++k) {
    const uint64_t size = TOGGStream::CalculateWrappedStreamSize(base + 12 + k);
    if (size == tagSize) {
      AddTextFrame(PaddingName, std::string(size_t(k), '#'));
      return true;
    }
    if (size > tagSize)
      break;
  }
  AddTextFrame(PaddingName, std::string(size_t(limit - 11), '#'));
  return false;
}

bool TOpusTag::BuildHeaderPages(const TOpusTag& old, TStream& source, std::vector<uint8_t>& pages, uint64_t& pageCount) {
  if (!old.Info.Rewritable)
    return false;
  if (!old.VendorString.empty())
    VendorString = old.VendorString;
  else if (VendorString.empty())
    VendorString = "Unknown vendor";
  const uint64_t tagSize = old.Info.TagEndPos - old.Info.SPagePos;
  source.Seek(old.Info.SPagePos);
  TOGGStream pager(source);
  TMemoryStream out;
  int count = 0;
  if (old.Format == ofOpus) {
    AdjustPadding(tagSize);
    TMemoryStream packet(BuildCommentPacket(ofOpus, 0));
    count = pager.CreateTagStream(packet, out, pager.FirstOGGHeader.PageNumber);
  } else {
    uint64_t padding = 0;
    if (old.Format == ofVorbis) {
      while (DeleteFrameByName(PaddingName)) {
      }
      const bool allowed = WritePadding && PaddingSizeToWrite > 0;
      const uint64_t base = BuildCommentPacket(ofVorbis, 0).size();
      const uint64_t setup = old.VorbisData.size();
      bool fits = false;
      if (allowed)
        for (uint64_t p = 0; p <= PaddingSizeToWrite && !fits; ++p) {
          const uint64_t size = TOGGStream::CalculateWrappedStreamSizeVorbis(base + p, base + p + setup);
          if (size > tagSize)
            break;
          fits = size == tagSize;
          padding = p;
        }
      if (!fits)
        padding = allowed ? PaddingSizeToWrite : 0;
    }
    std::vector<uint8_t> bytes = BuildCommentPacket(old.Format, padding);
    const uint64_t commentSize = bytes.size();
    bytes.insert(bytes.end(), old.VorbisData.begin(), old.VorbisData.end());
    TMemoryStream packets(std::move(bytes));
    count = pager.CreateTagStreamVorbis(commentSize, packets, out);
  }
  if (count <= 0)
    return false;
  pages = std::move(out.Bytes());
  pageCount = uint64_t(count);
  return true;
}

int TOpusTag::SaveToFile(const std::string& fileName) {
  try {
    TFileStream source;
    if (!FileExists(fileName) || !source.Open(fileName))
      return otrCannotOpen;
    TOpusTag old;
    if (old.LoadFromStream(source) != otrSuccess)
      return otrNotOgg;
    std::vector<uint8_t> pages;
    uint64_t pageCount = 0;
    if (!BuildHeaderPages(old, source, pages, pageCount))
      return otrError;

    if (pages.size() == old.Info.TagEndPos - old.Info.SPagePos && pageCount == old.Info.HeaderPages) {
      // Same bytes and pages: only the header pages are overwritten.
      TFileEditStream edit;
      if (edit.Open(fileName) != TFileEditResult::Success)
        return otrCannotWrite;
      edit.Seek(old.Info.SPagePos);
      edit.Write(pages);
      return edit.Commit() == TFileEditResult::Success ? otrSuccess : otrError;
    }

    if (::access(fileName.c_str(), W_OK) != 0)
      return otrCannotWrite;
    TReplacementFile out;
    if (!out.Create(fileName))
      return otrCannotCreate;
    source.Seek(old.Info.SPagePos);
    TOGGStream pager(source);
    if (!CopyRange(source, 0, old.Info.SPagePos, out) || !out.Write(pages))
      return otrError;
    source.Seek(old.Info.TagEndPos);
    if (!pager.ReNumberPages(old.Info.CommentPage.PageNumber + uint32_t(pageCount), source, out))
      return otrError;
    source.Close();
    return out.Commit() ? otrSuccess : otrError;
  } catch (...) {
    return otrError;
  }
}

int TOpusTag::SaveToStream(TStream& stream) {
  try {
    TOpusTag old;
    if (old.LoadFromStream(stream) != otrSuccess)
      return otrNotOgg;
    std::vector<uint8_t> pages;
    uint64_t pageCount = 0;
    if (!BuildHeaderPages(old, stream, pages, pageCount))
      return otrError;
    if (pages.size() == old.Info.TagEndPos - old.Info.SPagePos && pageCount == old.Info.HeaderPages) {
      stream.Seek(old.Info.SPagePos);
      const bool written = stream.Write(pages);
      stream.Seek(0);
      return written ? otrSuccess : otrError;
    }
    TMemoryStream out;
    stream.Seek(old.Info.SPagePos);
    TOGGStream pager(stream);
    if (!CopyRange(stream, 0, old.Info.SPagePos, out) || !out.Write(pages))
      return otrError;
    stream.Seek(old.Info.TagEndPos);
    if (!pager.ReNumberPages(old.Info.CommentPage.PageNumber + uint32_t(pageCount), stream, out))
      return otrError;
    if (!stream.Truncate(0) || !stream.Seek(0) || !stream.Write(out.Bytes()))
      return otrError;
    stream.Seek(0);
    return otrSuccess;
  } catch (...) {
    return otrError;
  }
}

} // namespace vantor
