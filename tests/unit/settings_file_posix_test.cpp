// Saving into the settings file on disk: links, permissions and files that
// cannot be read or written. What the edit does to the text is checked on
// the Qt front end, which reads the value back.
#include "settings/settings_file_posix.h"

#include <fcntl.h>
#include <ftw.h>
#include <grp.h>
#include <pwd.h>
#include <unistd.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace pellux {
namespace {

namespace fs = std::filesystem;

constexpr char kBefore[] = "; mine\n[Options]\nInterval=2000\n";
constexpr char kAfter[] = "; mine\n[Options]\nInterval=30000\n";

void Write(const fs::path& path, const std::string& bytes, fs::perms mode = fs::perms(0644)) {
  std::ofstream(path, std::ios::binary) << bytes;
  fs::permissions(path, mode);
}

std::optional<std::string> Read(const fs::path& path) {
  std::error_code error;
  if (!fs::is_regular_file(path, error)) return std::nullopt;
  std::ifstream file(path, std::ios::binary);
  if (!file) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(file), {});
}

fs::perms ModeOf(const fs::path& path) { return fs::status(path).permissions(); }

fs::perms NewFileMode() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return fs::perms(0666 & ~mask);
}

// The rows prepare a folder; "conf/Pellux.conf" is the path saved to and
// `real` the file that must hold the result (a link's target).
struct FileCase {
  const char* name;
  std::function<void(const fs::path&)> prepare;
  const char* real = "conf/Pellux.conf";
  bool saved = true;
  // The bytes of `real` afterwards; nothing: there is no such file.
  std::optional<std::string> after = kAfter;
  std::optional<fs::perms> mode;
  bool accept = true;
  // Run as the superuser after everything was given to the user: gives
  // some of it to another owner or group.
  std::function<void(const fs::path&)> foreign;
  // The save runs as the superuser, not as the user.
  bool as_root = false;
};

// Who a file belongs to, and how many names it has.
struct Identity {
  uid_t owner = 0;
  gid_t group = 0;
  nlink_t links = 0;
  bool operator==(const Identity&) const = default;
};

std::optional<Identity> IdentityOf(const fs::path& path) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) return std::nullopt;
  return Identity{status.st_uid, status.st_gid, status.st_nlink};
}

void PrintTo(const FileCase& c, std::ostream* os) { *os << c.name; }

// What one save did, as seen from inside it.
struct Outcome {
  bool saved = false;
  bool offered = false;           // the new file was shown to `accept`
  bool offered_beside = false;    // ... under a name in the real file's folder
  bool offered_complete = false;  // ... already holding the new text
};

// Runs the save as an ordinary user would. Permissions do not stop the
// superuser, so as root it runs in a child process that has become "nobody",
// in a folder that belongs to that user.
Outcome SaveAsUser(const fs::path& folder, const FileCase& row,
                   const std::function<void()>& about_to_save) {
  const fs::path path = folder / "conf/Pellux.conf";
  const fs::path real_folder = (folder / row.real).parent_path();
  const auto save = [&] {
    Outcome outcome;
    outcome.saved =
        SaveIniValue(path, "Options", "Interval", "30000", [&](const std::string& file) {
          outcome.offered = true;
          outcome.offered_beside = fs::equivalent(fs::path(file).parent_path(), real_folder);
          outcome.offered_complete = Read(file).value_or("").ends_with("Interval=30000\n");
          return row.accept;
        });
    return outcome;
  };
  if (::geteuid() != 0) {
    about_to_save();
    return save();
  }

  const passwd* nobody = ::getpwnam("nobody");
  const uid_t uid = nobody != nullptr ? nobody->pw_uid : 65534;
  const gid_t gid = nobody != nullptr ? nobody->pw_gid : 65534;
  static uid_t owner;
  static gid_t group;
  owner = uid;
  group = gid;
  ::nftw(
      folder.c_str(),
      [](const char* file, const struct stat*, int, FTW*) { return ::lchown(file, owner, group); },
      16, FTW_PHYS);
  if (row.foreign) row.foreign(folder);
  about_to_save();
  if (row.as_root) return save();

  const pid_t child = ::fork();
  if (child == 0) {
    if (::setgroups(0, nullptr) != 0 || ::setgid(gid) != 0 || ::setuid(uid) != 0) ::_exit(99);
    const Outcome outcome = save();
    ::_exit((outcome.saved ? 1 : 0) | (outcome.offered ? 2 : 0) | (outcome.offered_beside ? 4 : 0) |
            (outcome.offered_complete ? 8 : 0));
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  const int code = WIFEXITED(status) ? WEXITSTATUS(status) : 99;
  EXPECT_NE(code, 99) << "could not run as an ordinary user";
  return {(code & 1) != 0, (code & 2) != 0, (code & 4) != 0, (code & 8) != 0};
}

// Files whose names start with a dot: the new file under its own name.
std::vector<std::string> HiddenFiles(const fs::path& folder) {
  std::vector<std::string> found;
  std::error_code error;
  for (const auto& entry : fs::recursive_directory_iterator(folder, error)) {
    if (entry.path().filename().string().starts_with('.')) found.push_back(entry.path());
  }
  return found;
}

class SaveIniValueTest : public ::testing::TestWithParam<FileCase> {
 protected:
  void SetUp() override {
    std::string name = (fs::temp_directory_path() / "pellux-settings.XXXXXX").string();
    ASSERT_NE(::mkdtemp(name.data()), nullptr);
    folder_ = name;
    fs::create_directory(folder_ / "conf");
    fs::create_directory(folder_ / "real");
  }

  void TearDown() override {
    std::error_code error;
    for (const char* dir : {"conf", "real"}) {
      fs::permissions(folder_ / dir, fs::perms(0755), error);
    }
    fs::remove_all(folder_, error);
  }

  fs::path folder_;
};

TEST_P(SaveIniValueTest, Saves) {
  const FileCase& row = GetParam();
  if ((row.foreign || row.as_root) && ::geteuid() != 0) {
    GTEST_SKIP() << "needs the superuser to give files away";
  }
  row.prepare(folder_);
  // The identity is looked at once the save is about to run: SaveAsUser
  // gives the files to the user first.
  std::optional<Identity> before;
  const Outcome outcome =
      SaveAsUser(folder_, row, [&] { before = IdentityOf(folder_ / row.real); });
  EXPECT_EQ(outcome.saved, row.saved);
  // A file that was there keeps its owner, its group and its names.
  if (before) {
    EXPECT_EQ(IdentityOf(folder_ / row.real), before);
  }
  if (outcome.offered) {
    EXPECT_TRUE(outcome.offered_beside);
    EXPECT_TRUE(outcome.offered_complete);
  }
  if (row.mode) {
    EXPECT_EQ(ModeOf(folder_ / row.real), *row.mode);
  }
  std::error_code error;
  fs::permissions(folder_ / row.real, fs::perms::owner_read, fs::perm_options::add, error);
  EXPECT_EQ(Read(folder_ / row.real), row.after);
  EXPECT_EQ(HiddenFiles(folder_), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(
    Files, SaveIniValueTest,
    ::testing::Values(
        FileCase{
            .name = "PermissionsKept",
            .prepare =
                [](const fs::path& f) { Write(f / "conf/Pellux.conf", kBefore, fs::perms(0640)); },
            .mode = fs::perms(0640)},
        FileCase{.name = "NoFileYet",
                 .prepare = [](const fs::path&) {},
                 .after = "[Options]\nInterval=30000\n",
                 .mode = NewFileMode()},
        FileCase{.name = "LinkFollowed",
                 .prepare =
                     [](const fs::path& f) {
                       Write(f / "real/Pellux.conf", kBefore, fs::perms(0600));
                       fs::create_symlink("../real/Pellux.conf", f / "conf/Pellux.conf");
                     },
                 .real = "real/Pellux.conf",
                 .mode = fs::perms(0600)},
        FileCase{.name = "ChainOfLinks",
                 .prepare =
                     [](const fs::path& f) {
                       Write(f / "real/Pellux.conf", kBefore);
                       fs::create_symlink("Pellux.conf", f / "real/link");
                       fs::create_symlink(f / "real/link", f / "conf/Pellux.conf");
                     },
                 .real = "real/Pellux.conf"},
        FileCase{.name = "LinkToNoFile",
                 .prepare =
                     [](const fs::path& f) {
                       fs::create_symlink("../real/Pellux.conf", f / "conf/Pellux.conf");
                     },
                 .real = "real/Pellux.conf",
                 .after = "[Options]\nInterval=30000\n"},
        FileCase{.name = "LinksInALoop",
                 .prepare =
                     [](const fs::path& f) {
                       fs::create_symlink("loop", f / "conf/Pellux.conf");
                       fs::create_symlink("Pellux.conf", f / "conf/loop");
                     },
                 .real = "conf/loop",
                 .saved = false,
                 .after = std::nullopt},
        FileCase{
            .name = "ReadOnlyFile",
            .prepare =
                [](const fs::path& f) { Write(f / "conf/Pellux.conf", kBefore, fs::perms(0444)); },
            .saved = false,
            .after = kBefore},
        FileCase{.name = "ReadOnlyFolder",
                 .prepare =
                     [](const fs::path& f) {
                       Write(f / "conf/Pellux.conf", kBefore);
                       fs::permissions(f / "conf", fs::perms(0555));
                     },
                 .saved = false,
                 .after = kBefore},
        FileCase{
            .name = "UnreadableFileLeftAlone",
            .prepare =
                [](const fs::path& f) { Write(f / "conf/Pellux.conf", kBefore, fs::perms(0200)); },
            .saved = false,
            .after = kBefore,
            .mode = fs::perms(0200)},
        FileCase{.name = "FolderWhereTheFileBelongs",
                 .prepare = [](const fs::path& f) { fs::create_directory(f / "conf/Pellux.conf"); },
                 .saved = false,
                 .after = std::nullopt},
        FileCase{.name = "FileWhereTheFolderBelongs",
                 .prepare =
                     [](const fs::path& f) {
                       fs::remove(f / "conf");
                       Write(f / "conf", kBefore);
                     },
                 .real = "conf",
                 .saved = false,
                 .after = kBefore},
        FileCase{
            .name = "FifoWhereTheFileBelongs",
            .prepare = [](const fs::path& f) { ::mkfifo((f / "conf/Pellux.conf").c_str(), 0600); },
            .saved = false,
            .after = std::nullopt},
        FileCase{.name = "LinkToAFifo",
                 .prepare =
                     [](const fs::path& f) {
                       ::mkfifo((f / "real/fifo").c_str(), 0600);
                       fs::create_symlink("../real/fifo", f / "conf/Pellux.conf");
                     },
                 .real = "real/fifo",
                 .saved = false,
                 .after = std::nullopt},
        // A rename would part the two names: the file is left as it is.
        FileCase{.name = "HardLinkKept",
                 .prepare =
                     [](const fs::path& f) {
                       Write(f / "real/Pellux.conf", kBefore);
                       fs::create_hard_link(f / "real/Pellux.conf", f / "conf/Pellux.conf");
                     },
                 .real = "real/Pellux.conf",
                 .saved = false,
                 .after = kBefore},
        // The superuser saves the user's file: it stays the user's.
        FileCase{
            .name = "OwnerKeptWhenTheSuperuserSaves",
            .prepare =
                [](const fs::path& f) { Write(f / "conf/Pellux.conf", kBefore, fs::perms(0640)); },
            .mode = fs::perms(0640),
            .as_root = true},
        FileCase{.name = "OwnerKeptThroughALinkWhenTheSuperuserSaves",
                 .prepare =
                     [](const fs::path& f) {
                       Write(f / "real/Pellux.conf", kBefore, fs::perms(0600));
                       fs::create_symlink("../real/Pellux.conf", f / "conf/Pellux.conf");
                     },
                 .real = "real/Pellux.conf",
                 .mode = fs::perms(0600),
                 .as_root = true},
        // Through a link into another user's folder, to that user's file,
        // which anyone may write: the user could not give the new file away.
        FileCase{.name = "AnotherOwnersFileLeftAlone",
                 .prepare =
                     [](const fs::path& f) {
                       Write(f / "real/Pellux.conf", kBefore, fs::perms(0666));
                       fs::create_symlink("../real/Pellux.conf", f / "conf/Pellux.conf");
                     },
                 .real = "real/Pellux.conf",
                 .saved = false,
                 .after = kBefore,
                 .mode = fs::perms(0666),
                 .foreign =
                     [](const fs::path& f) {
                       ::chown((f / "real/Pellux.conf").c_str(), 0, 0);
                       ::chmod((f / "real").c_str(), 0777);
                     }},
        // The user's own file in a group the user is not in.
        FileCase{.name = "AnotherGroupsFileLeftAlone",
                 .prepare = [](const fs::path& f) { Write(f / "conf/Pellux.conf", kBefore); },
                 .saved = false,
                 .after = kBefore,
                 .foreign =
                     [](const fs::path& f) {
                       ::chown((f / "conf/Pellux.conf").c_str(), static_cast<uid_t>(-1), 0);
                     }},
        FileCase{.name = "NewFileRefused",
                 .prepare = [](const fs::path& f) { Write(f / "conf/Pellux.conf", kBefore); },
                 .saved = false,
                 .after = kBefore,
                 .accept = false}),
    [](const ::testing::TestParamInfo<FileCase>& param_info) {
      return std::string(param_info.param.name);
    });

}  // namespace
}  // namespace pellux
