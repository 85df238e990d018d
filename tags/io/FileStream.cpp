#include "tags/io/FileStream.h"

#include <algorithm>
#include <cerrno>
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
  FPosition = 0;
  FBuffer.clear();
  FBufferStart = 0;
  return true;
}

void TFileStream::Close() {
  if (FFd >= 0)
    ::close(FFd);
  FFd = -1;
  FSize = 0;
  FPosition = 0;
  FBuffer.clear();
}

static size_t PreadAll(int fd, uint8_t* buffer, size_t count, uint64_t offset) {
  size_t done = 0;
  while (done < count) {
    const ssize_t n = ::pread(fd, buffer + done, count - done, off_t(offset + done));
    if (n < 0 && errno == EINTR)
      continue;
    if (n <= 0)
      break;
    done += size_t(n);
  }
  return done;
}

size_t TFileStream::Read(void* buffer, size_t count) {
  if (FFd < 0 || FPosition >= FSize || count == 0)
    return 0;
  count = size_t(std::min<uint64_t>(count, FSize - FPosition));
  auto* out = static_cast<uint8_t*>(buffer);
  // Large reads bypass the buffer; small ones (headers, fields) are served from it.
  if (count >= BufferSize) {
    const size_t n = PreadAll(FFd, out, count, FPosition);
    FPosition += n;
    return n;
  }
  size_t done = 0;
  while (done < count) {
    if (FPosition < FBufferStart || FPosition >= FBufferStart + FBuffer.size()) {
      FBuffer.resize(BufferSize);
      const size_t n = PreadAll(FFd, FBuffer.data(), BufferSize, FPosition);
      FBuffer.resize(n);
      FBufferStart = FPosition;
      if (n == 0)
        break;
    }
    const size_t inBuffer = size_t(FBufferStart + FBuffer.size() - FPosition);
    const size_t n = std::min(inBuffer, count - done);
    std::memcpy(out + done, FBuffer.data() + (FPosition - FBufferStart), n);
    done += n;
    FPosition += n;
  }
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
