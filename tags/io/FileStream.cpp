#include "tags/io/FileStream.h"

#include "tags/io/FileIO.h"

#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vantor {

TFileStream::~TFileStream() { Close(); }

bool TFileStream::Open(const std::string& fileName) {
  Close();
  const int fd = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0)
    return false;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return false;
  }
  FFd = fd;
  FSize = uint64_t(st.st_size);
  return true;
}

void TFileStream::Close() {
  if (FFd >= 0)
    ::close(FFd);
  FFd = -1;
  FSize = 0;
  FPosition = 0;
  FBufferStart = 0;
  FBufferLength = 0;
}

// Loads the block holding position. Near the end of the file the block ends at the end, so
// that the tags there (APE footer, Lyrics3, ID3v1) come in with one read.
bool TFileStream::Fill(uint64_t position) {
  if (!FBuffer)
    FBuffer = std::make_unique_for_overwrite<uint8_t[]>(BufferSize);
  const uint64_t start = std::min(position, FSize > BufferSize ? FSize - BufferSize : 0);
  const size_t length = size_t(std::min<uint64_t>(BufferSize, FSize - start));
  FBufferStart = start;
  FBufferLength = PreadAll(FFd, FBuffer.get(), length, start);
  return position < FBufferStart + FBufferLength;
}

size_t TFileStream::Read(void* buffer, size_t count) {
  if (FFd < 0 || FPosition >= FSize || count == 0)
    return 0;
  count = size_t(std::min<uint64_t>(count, FSize - FPosition));
  auto* out = static_cast<uint8_t*>(buffer);
  size_t done = 0;
  // What the block already holds.
  if (FPosition >= FBufferStart && FPosition < FBufferStart + FBufferLength) {
    done = std::min(count, size_t(FBufferStart + FBufferLength - FPosition));
    std::memcpy(out, FBuffer.get() + (FPosition - FBufferStart), done);
  }
  const size_t rest = count - done;
  if (rest >= BufferSize) {
    done += PreadAll(FFd, out + done, rest, FPosition + done);
  } else if (rest > 0 && Fill(FPosition + done)) {
    const uint64_t at = FPosition + done;
    const size_t n = std::min(rest, size_t(FBufferStart + FBufferLength - at));
    std::memcpy(out + done, FBuffer.get() + (at - FBufferStart), n);
    done += n;
  }
  FPosition += done;
  return done;
}

bool FileExists(const std::string& fileName) {
  struct stat st {};
  return ::stat(fileName.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool ReadWholeFile(const std::string& fileName, std::vector<uint8_t>& bytes, uint64_t maxSize) {
  TFileStream file;
  if (!file.Open(fileName) || file.Size() > maxSize)
    return false;
  bytes.resize(size_t(file.Size()));
  return file.Read(bytes.data(), bytes.size()) == bytes.size();
}

} // namespace vantor
