#include "files/replace.h"

#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "files/pathnames.h"

namespace tsm::files {

namespace {

ReplaceStepHook stepHook = nullptr;

// Earlier versions replaced the data file first, keeping a second name
// T.dat.tsm-old for the old one until the companion had followed.
constexpr const char* kOldKeepSuffix = ".tsm-old";

}  // namespace

void SetReplaceStepHook(ReplaceStepHook hook) { stepHook = hook; }

bool IsReadOnlyFile(const std::string& path) {
  struct stat st {};
  if (!platform::StatPath(path, &st)) return false;
  platform::DirectoryOf dir(path);
  const int at = dir.Ok() ? dir.Fd() : AT_FDCWD;
  const char* name = dir.Ok() ? dir.Name().c_str() : path.c_str();
  if (::faccessat(at, name, W_OK, 0) != 0) return errno == EACCES || errno == EROFS || errno == EPERM;
  if (::geteuid() == 0) return (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
  return false;
}

PairReplacement::PairReplacement(const std::string& data, const std::string& companion)
    : dir_(companion) {
  companion_ = dir_.Name();
  const std::size_t slash = data.rfind('/');
  data_ = slash == std::string::npos ? data : data.substr(slash + 1);
  const std::size_t dot = companion_.rfind('.');
  stem_ = dot == std::string::npos ? companion_ : companion_.substr(0, dot);
  newCompanion_ = platform::SiblingName(companion_, "new");
  temporary_ = platform::SiblingName(data_, "tmp");
  committedPrefix_ = platform::SiblingName(companion_, "data.");
  committed_ = committedPrefix_ + ExtensionPart(data_);
}

PairReplacement::~PairReplacement() {
  if (fd_ >= 0) ::close(fd_);
  if (done_ || !Ok()) return;
  if (created_) ::unlinkat(dir_.Fd(), temporary_.c_str(), 0);
  if (companionStarted_) ::unlinkat(dir_.Fd(), newCompanion_.c_str(), 0);
}

bool PairReplacement::Step(const char* what) {
  if (!stepHook || stepHook(what)) return true;
  errno = EIO;
  return false;
}

bool PairReplacement::Rename(const std::string& from, const std::string& to) {
  return Step("rename") && ::renameat(dir_.Fd(), from.c_str(), dir_.Fd(), to.c_str()) == 0;
}

bool PairReplacement::Unlink(const std::string& name) {
  return Step("unlink") && ::unlinkat(dir_.Fd(), name.c_str(), 0) == 0;
}

bool PairReplacement::Exists(const std::string& name, struct stat* st) const {
  struct stat local {};
  return ::fstatat(dir_.Fd(), name.c_str(), st ? st : &local, AT_SYMLINK_NOFOLLOW) == 0;
}

bool PairReplacement::Recover(bool removeLeftovers) {
  if (!Ok()) return false;
  // One look at the directory: the committed data file carries the data
  // file's extension in its name, and leftovers have names of their own.
  const int fd = ::dup(dir_.Fd());
  DIR* listing = fd >= 0 ? ::fdopendir(fd) : nullptr;
  if (!listing) {
    if (fd >= 0) ::close(fd);
    // A directory we may enter but not list: nothing can be seen to recover.
    return true;
  }
  ::rewinddir(listing);
  bool newCompanion = false;
  std::vector<std::string> committed, oldKeeps, leftovers;
  while (const dirent* e = ::readdir(listing)) {
    const std::string name = e->d_name;
    if (name == newCompanion_) {
      newCompanion = true;
    } else if (name.starts_with(committedPrefix_) && name.size() > committedPrefix_.size()) {
      committed.push_back(name);
    } else if (name.size() > stem_.size() + 1 + 8 && name.starts_with(stem_ + ".") &&
               name.compare(name.size() - 8, 8, kOldKeepSuffix) == 0 &&
               ::strcasecmp(name.substr(stem_.size() + 1, name.size() - stem_.size() - 9).c_str(),
                            "dat") == 0) {
      oldKeeps.push_back(name);
    } else if (removeLeftovers &&
               (name == temporary_ || platform::IsUniqueSibling(name, data_) ||
                platform::IsUniqueSibling(name, newCompanion_) ||
                platform::IsPrefixAndUnique(name, newCompanion_ + ".tmp-"))) {
      leftovers.push_back(name);
    }
  }
  ::closedir(listing);

  bool ok = true;
  if (!committed.empty()) {
    // The new pair was committed: finish moving it onto the names, the
    // companion first (the committed data file marks the state until last).
    if (newCompanion) ok = Rename(newCompanion_, companion_);
    for (const std::string& name : committed)
      if (ok) ok = Rename(name, stem_ + "." + name.substr(committedPrefix_.size()));
  } else if (newCompanion) {
    // Not committed: the new companion belongs to a save that never
    // finished, unless an earlier version had already moved the new data
    // file in (its keep then names another file than the data file).
    bool forward = false;
    for (const std::string& keep : oldKeeps) {
      struct stat kept {}, now {};
      const std::string data = keep.substr(0, keep.size() - 8);
      if (Exists(keep, &kept) && Exists(data, &now) &&
          (kept.st_ino != now.st_ino || kept.st_dev != now.st_dev))
        forward = true;
    }
    if (forward)
      ok = Rename(newCompanion_, companion_);
    else
      Unlink(newCompanion_);
  }
  if (ok)
    for (const std::string& keep : oldKeeps) Unlink(keep);
  for (const std::string& name : leftovers) {
    struct stat st {};
    if (Exists(name, &st) && S_ISREG(st.st_mode)) Unlink(name);
  }
  return ok;
}

std::string PairReplacement::StartCompanion() {
  Step("companion");
  ::unlinkat(dir_.Fd(), newCompanion_.c_str(), 0);
  companionStarted_ = true;
  return dir_.PathOf(newCompanion_);
}

bool PairReplacement::CreateData() {
  if (!Ok()) return false;
  if (!Step("create")) return false;
  ::unlinkat(dir_.Fd(), temporary_.c_str(), 0);
  fd_ = ::openat(dir_.Fd(), temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  created_ = fd_ >= 0;
  return created_;
}

bool PairReplacement::Write(const char* data, std::size_t length) {
  if (fd_ < 0) return false;
  while (length > 0) {
    const ssize_t n = ::write(fd_, data, length);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += n;
    length -= static_cast<std::size_t>(n);
  }
  return true;
}

bool PairReplacement::CloseData() {
  if (fd_ < 0) return false;
  struct stat st {};
  const mode_t mode =
      ::fstatat(dir_.Fd(), data_.c_str(), &st, 0) == 0 ? (st.st_mode & 07777) : 0644;
  ::fchmod(fd_, mode);
  const bool ok = ::close(fd_) == 0;
  fd_ = -1;
  return ok;
}

bool PairReplacement::Commit() {
  if (!created_ || done_ || fd_ >= 0) return false;
  struct stat st {};
  for (const std::string* name : {&data_, &companion_})
    if (Exists(*name, &st) && S_ISDIR(st.st_mode)) return false;
  // The companion takes the mode of the one it replaces.
  if (::fstatat(dir_.Fd(), companion_.c_str(), &st, 0) == 0)
    ::fchmodat(dir_.Fd(), newCompanion_.c_str(), st.st_mode & 07777, 0);
  if (!Rename(temporary_, committed_)) return false;
  done_ = true;
  if (!Rename(newCompanion_, companion_)) {
    // Nothing of the old pair has moved: drop the new one, the commit
    // first. Should the committed file stay, its companion stays with it,
    // and the next Open or Save finishes the new pair (alone, the committed
    // data would be moved beside the old companion).
    if (Unlink(committed_)) Unlink(newCompanion_);
    return false;
  }
  return Rename(committed_, data_);
}

bool RecoverPair(const std::string& data, const std::string& companion) {
  PairReplacement pair(data, companion);
  return !pair.Ok() || pair.Recover(false);
}

}  // namespace tsm::files
