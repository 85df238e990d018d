#include "tags/ogg/ReplacementFile.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vantor {

TReplacementFile::~TReplacementFile() { Discard(); }

bool TReplacementFile::Create(const std::string& target) {
  Discard();
  char resolved[PATH_MAX];
  FTarget = ::realpath(target.c_str(), resolved) ? std::string(resolved) : target;
  const size_t slash = FTarget.rfind('/');
  const std::string directory = slash == std::string::npos ? "." : FTarget.substr(0, slash == 0 ? 1 : slash);
  const std::string base = slash == std::string::npos ? FTarget : FTarget.substr(slash + 1);
  FTemporary = directory + "/." + base + ".XXXXXX";
  FFd = ::mkstemp(FTemporary.data());
  FSize = FPosition = 0;
  FFailed = FFd < 0;
  return FFd >= 0;
}

size_t TReplacementFile::Read(void* buffer, size_t count) {
  size_t done = 0;
  auto* out = static_cast<uint8_t*>(buffer);
  while (FFd >= 0 && done < count) {
    const ssize_t n = ::pread(FFd, out + done, count - done, off_t(FPosition + done));
    if (n < 0 && errno == EINTR)
      continue;
    if (n <= 0)
      break;
    done += size_t(n);
  }
  FPosition += done;
  return done;
}

bool TReplacementFile::Write(const void* buffer, size_t count) {
  const auto* in = static_cast<const uint8_t*>(buffer);
  size_t done = 0;
  while (FFd >= 0 && done < count) {
    const ssize_t n = ::pwrite(FFd, in + done, count - done, off_t(FPosition + done));
    if (n < 0 && errno == EINTR)
      continue;
    if (n <= 0)
      break;
    done += size_t(n);
  }
  FPosition += done;
  if (FPosition > FSize)
    FSize = FPosition;
  if (done < count)
    FFailed = true;
  return done == count;
}

bool TReplacementFile::Truncate(uint64_t size) {
  if (FFd < 0 || ::ftruncate(FFd, off_t(size)) != 0)
    return false;
  FSize = size;
  return true;
}

bool TReplacementFile::Commit() {
  if (FFd < 0 || FFailed)
    return false;
  struct stat st {};
  bool ok = true;
  if (::stat(FTarget.c_str(), &st) == 0) {
    ok = ::fchmod(FFd, st.st_mode & 07777) == 0;
    if (::fchown(FFd, st.st_uid, st.st_gid) != 0) {
      // keeping the owner needs privileges; the file stays ours
    }
  }
  ok = ok && ::fsync(FFd) == 0;
  ok = ::close(FFd) == 0 && ok;
  FFd = -1;
  ok = ok && ::rename(FTemporary.c_str(), FTarget.c_str()) == 0;
  if (!ok) {
    ::unlink(FTemporary.c_str());
    FTemporary.clear();
    return false;
  }
  FTemporary.clear();
  const size_t slash = FTarget.rfind('/');
  const std::string directory = slash == std::string::npos ? "." : FTarget.substr(0, slash == 0 ? 1 : slash);
  const int dir = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  return true;
}

void TReplacementFile::Discard() {
  if (FFd >= 0)
    ::close(FFd);
  FFd = -1;
  if (!FTemporary.empty())
    ::unlink(FTemporary.c_str());
  FTemporary.clear();
}

} // namespace vantor
