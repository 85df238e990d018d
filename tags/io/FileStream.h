#pragma once
// Read-only buffered access to a file, for loading tags.

#include "tags/io/Stream.h"

#include <memory>
#include <string>

namespace vantor {

class TFileStream final : public TStream {
public:
  TFileStream() = default;
  ~TFileStream() override;
  TFileStream(const TFileStream&) = delete;
  TFileStream& operator=(const TFileStream&) = delete;

  // False when the path does not name a regular file that can be opened for reading.
  bool Open(const std::string& fileName);
  void Close();
  bool IsOpen() const { return FFd >= 0; }

  uint64_t Size() const override { return FSize; }
  uint64_t Position() const override { return FPosition; }
  bool Seek(uint64_t position) override { FPosition = position; return true; }
  size_t Read(void* buffer, size_t count) override;
  bool Write(const void*, size_t) override { return false; }
  bool Truncate(uint64_t) override { return false; }
  bool Replace(uint64_t, uint64_t, const void*, size_t) override { return false; }
  bool Writable() const override { return false; }

private:
  // Small reads (headers, footers, fields) are served from one page-sized block; tag readers
  // jump around, so reading further ahead mostly copies bytes nobody asks for. Reads of a
  // block or more go straight into the caller's memory.
  static constexpr size_t BufferSize = 4096;
  bool Fill(uint64_t position);

  int FFd = -1;
  uint64_t FSize = 0;
  uint64_t FPosition = 0;
  std::unique_ptr<uint8_t[]> FBuffer; // BufferSize bytes once allocated
  uint64_t FBufferStart = 0;          // file offset of FBuffer[0]
  size_t FBufferLength = 0;           // valid bytes in FBuffer
};

bool FileExists(const std::string& fileName);
// Whole file into memory, refusing files larger than maxSize.
bool ReadWholeFile(const std::string& fileName, std::vector<uint8_t>& bytes, uint64_t maxSize = uint64_t(1) << 31);

} // namespace vantor
