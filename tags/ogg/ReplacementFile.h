#pragma once
// A new copy of a file, written to a temporary file in the same folder and
// put in the old file's place only by Commit: flushed to disk, given the old
// file's permissions and renamed over it, so the old file is replaced whole or
// not at all and is never deleted first. Without Commit the temporary file is
// removed.

#include "tags/io/Stream.h"

#include <string>

namespace vantor {

class TReplacementFile final : public TStream {
public:
  TReplacementFile() = default;
  ~TReplacementFile() override;
  TReplacementFile(const TReplacementFile&) = delete;
  TReplacementFile& operator=(const TReplacementFile&) = delete;

  // Creates the temporary file beside target (symbolic links resolved).
  bool Create(const std::string& target);
  bool Commit();
  void Discard();

  uint64_t Size() const override { return FSize; }
  uint64_t Position() const override { return FPosition; }
  bool Seek(uint64_t position) override { FPosition = position; return true; }
  size_t Read(void* buffer, size_t count) override;
  bool Write(const void* buffer, size_t count) override;
  bool Truncate(uint64_t size) override;
  bool Replace(uint64_t, uint64_t, const void*, size_t) override { return false; }
  using TStream::Write;

private:
  int FFd = -1;
  std::string FTarget, FTemporary;
  uint64_t FSize = 0, FPosition = 0;
  bool FFailed = false;
};

} // namespace vantor
