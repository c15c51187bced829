#include "settings/settings_file_posix.h"

#include <fcntl.h>
#include <unistd.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <utility>

#include "settings/ini_text.h"
#include "settings/settings.h"

namespace pellux {
namespace {

namespace fs = std::filesystem;

// More links than this in a row are taken for a loop, as the kernel does.
constexpr int kMaxLinks = 40;
// Names tried for the new file before giving up.
constexpr int kMaxNewNames = 100;

// An open file descriptor (or -1), closed when it goes.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  ~Descriptor() { Close(); }

  int get() const { return fd_; }
  // Closes it now; false when closing reports an error (a write that did not
  // reach the disk, on some file systems).
  bool Close() { return fd_ < 0 || ::close(std::exchange(fd_, -1)) == 0; }

 private:
  int fd_;
};

// The path with symbolic links at its end followed: the file that is really
// meant, existing or not. Nothing when a link cannot be read or the links
// run in a loop.
std::optional<std::string> FollowLinks(std::string path) {
  for (int hops = 0; hops <= kMaxLinks; ++hops) {
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0) {
      return errno == ENOENT ? std::optional(path) : std::nullopt;
    }
    if (!S_ISLNK(status.st_mode)) return path;
    std::error_code error;
    const fs::path target = fs::read_symlink(path, error);
    if (error) return std::nullopt;
    // A relative target starts from the link's folder.
    path = (fs::path(path).parent_path() / target).string();
  }
  return std::nullopt;
}

// The whole file; empty text when there is no file. Nothing when it cannot
// be read or is not a regular file, which is not even opened (a device,
// say). The open does not wait either: a FIFO put in the file's place
// meanwhile would otherwise hold it until someone writes to it.
std::optional<std::string> ReadWhole(const std::string& path) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) {
    return errno == ENOENT ? std::optional(std::string()) : std::nullopt;
  }
  if (!S_ISREG(status.st_mode)) return std::nullopt;
  Descriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  if (file.get() < 0 || ::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode)) {
    return std::nullopt;
  }
  std::string bytes;
  char buffer[4096];
  for (;;) {
    const ssize_t got = ::read(file.get(), buffer, sizeof buffer);
    if (got == 0) return bytes;
    if (got < 0 && errno != EINTR) return std::nullopt;
    if (got > 0) bytes.append(buffer, static_cast<std::size_t>(got));
  }
}

bool WriteWhole(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t put = ::write(fd, bytes.data(), bytes.size());
    if (put < 0 && errno != EINTR) return false;
    if (put > 0) bytes.remove_prefix(static_cast<std::size_t>(put));
  }
  return true;
}

// A new file beside `target` under a hidden name no other file has, with the
// permissions a new file gets (the umask applies).
std::optional<std::string> CreateNewFile(const std::string& target, int& fd) {
  static unsigned counter = 0;
  std::string hidden = target;
  hidden.insert(target.rfind('/') + 1, ".");
  for (int attempt = 0; attempt < kMaxNewNames; ++attempt) {
    const std::string path =
        hidden + "." + std::to_string(::getpid()) + "." + std::to_string(counter++);
    fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) return path;
    if (errno != EEXIST) return std::nullopt;
  }
  return std::nullopt;
}

// Makes a rename to `file` durable: it lives in the file's folder.
void FlushFolderOf(const std::string& file) {
  const fs::path folder = fs::path(file).parent_path() / ".";
  Descriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.get() >= 0) ::fsync(dir.get());
}

// The value of `key` in `section` of the file at `path`, links followed.
std::optional<std::string> ReadIniValue(const std::string& path, std::string_view section,
                                        std::string_view key) {
  const auto text = ReadWhole(path);
  return text ? IniValue(*text, section, key) : std::nullopt;
}

// The application's file in the user's configuration folder: under
// XDG_CONFIG_HOME when it is set to a full path, ~/.config otherwise.
std::string SettingsFile(std::string_view app) {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  const char* home = std::getenv("HOME");
  std::string folder = config != nullptr && config[0] == '/' ? config : "";
  if (folder.empty()) folder = std::string(home != nullptr ? home : "") + "/.config";
  return folder + "/" + std::string(app) + "/" + std::string(app) + ".conf";
}

class FileSettings final : public SettingsStore {
 public:
  // Each call reads the file anew, so a change made by another program
  // meanwhile is seen. Reading never writes.
  std::optional<std::string> GetSetting(std::string_view app, std::string_view section,
                                        std::string_view key) override {
    return ReadIniValue(SettingsFile(app), section, key);
  }

  // Only the key's line changes, and the new file is taken only when it
  // gives the value back, read as above.
  bool SaveSetting(std::string_view app, std::string_view section, std::string_view key,
                   std::string_view value) override {
    const std::string file = SettingsFile(app);
    // A folder that cannot be made shows as a failed save.
    std::error_code ignored;
    fs::create_directories(fs::path(file).parent_path(), ignored);
    return SaveIniValue(file, section, key, value, [&](const std::string& written) {
      return ReadIniValue(written, section, key) == value;
    });
  }
};

}  // namespace

bool SaveIniValue(const std::string& path, std::string_view section, std::string_view key,
                  std::string_view value,
                  const std::function<bool(const std::string& new_path)>& accept) {
  const auto target = FollowLinks(path);
  if (!target) return false;

  // A file that cannot be looked at cannot be read either (ReadWhole).
  struct stat status {};
  const bool exists = ::stat(target->c_str(), &status) == 0;
  // The new file takes the old one's place by a rename, which would part
  // the names of a file that has more than one.
  if (exists && status.st_nlink > 1) return false;
  if (exists && ::faccessat(AT_FDCWD, target->c_str(), W_OK, AT_EACCESS) != 0) return false;
  const auto old_text = ReadWhole(*target);
  if (!old_text) return false;
  const std::string new_text = WithIniValue(*old_text, section, key, value);

  int fd = -1;
  const auto new_path = CreateNewFile(*target, fd);
  if (!new_path) return false;
  Descriptor file(fd);
  bool written = WriteWhole(file.get(), new_text);
  // Owner and group first, then the mode: a change of owner clears the
  // set-id bits. Only a member of the group may give the file to it.
  if (written && exists) written = ::fchown(file.get(), status.st_uid, status.st_gid) == 0;
  if (written && exists) written = ::fchmod(file.get(), status.st_mode & 07777) == 0;
  if (written) written = ::fsync(file.get()) == 0;
  if (!file.Close()) written = false;
  if (!written || !accept(*new_path) || ::rename(new_path->c_str(), target->c_str()) != 0) {
    ::unlink(new_path->c_str());
    return false;
  }
  FlushFolderOf(*target);
  return true;
}

std::unique_ptr<SettingsStore> MakeSystemSettings() { return std::make_unique<FileSettings>(); }

}  // namespace pellux
