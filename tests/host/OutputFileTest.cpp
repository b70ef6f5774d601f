// Files written for the user: what may stand in an output's place, the
// temporary file that keeps a half-written output from its name, and what
// makes two paths the same file.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <functional>
#include <set>
#include <string>

#include "OutputFile.h"
#include "support/Child.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;
using pcb9host::hostsystem::FileIdentity;
using pcb9host::hostsystem::TOutputFile;
using pcb9host::hostsystem::WriteOutputFile;

std::set<std::string> Names(const fs::path& dir) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir)) names.insert(entry.path().filename());
  return names;
}

struct TPlaceCase {
  const char* What;
  // Puts something in the place "out" of the folder; "target" is a file
  // outside the place that a link may point to.
  std::function<void(const pcb9test::TTempDir&)> Make;
  const char* Refusal;  // empty: the output replaces what is there
};

void PrintTo(const TPlaceCase& c, std::ostream* os) { *os << c.What; }

const TPlaceCase kPlaces[] = {
    {"nothing", [](const auto&) {}, ""},
    {"a regular file", [](const auto& d) { d.Write("out", "an older, longer output"); }, ""},
    {"a symbolic link to a file",
     [](const auto& d) { fs::create_symlink(d.File("target"), d.File("out")); },
     "it is a symbolic link, which is not followed"},
    {"a dangling symbolic link",
     [](const auto& d) { fs::create_symlink(d.File("nowhere"), d.File("out")); },
     "it is a symbolic link, which is not followed"},
    {"a link to a folder",
     [](const auto& d) { fs::create_directory_symlink(d.Path(), d.File("out")); },
     "it is a symbolic link, which is not followed"},
    {"a folder", [](const auto& d) { fs::create_directory(d.File("out")); }, "it is a folder"},
    {"a FIFO", [](const auto& d) { mkfifo(d.File("out").c_str(), 0600); },
     "it is not a regular file (a FIFO, a device or a socket)"},
};

class OutputPlace : public ::testing::TestWithParam<TPlaceCase> {};

// Only a regular file is replaced; anything else stays as it was, a link's
// target keeps its bytes, and no temporary file is left behind.
TEST_P(OutputPlace, OnlyARegularFileIsReplaced) {
  const TPlaceCase& c = GetParam();
  pcb9test::TTempDir dir;
  dir.Write("target", "the link's target");
  c.Make(dir);
  const std::set<std::string> before = Names(dir.Path());
  std::string error;
  const bool written = WriteOutputFile(dir.File("out"), "new text", error);
  EXPECT_EQ(written, std::string(c.Refusal).empty()) << c.What;
  EXPECT_EQ(pcb9test::ReadFileBytes(dir.File("target")), "the link's target") << c.What;
  if (written) {
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(dir.File("out"))));
    EXPECT_EQ(pcb9test::ReadFileBytes(dir.File("out")), "new text") << c.What;
  } else {
    EXPECT_EQ(error, "cannot write " + dir.File("out") + ": " + c.Refusal) << c.What;
  }
  std::set<std::string> after = Names(dir.Path());
  after.insert("out");
  std::set<std::string> expected = before;
  expected.insert("out");
  EXPECT_EQ(after, expected) << c.What;
}

INSTANTIATE_TEST_SUITE_P(Places, OutputPlace, ::testing::ValuesIn(kPlaces),
                         [](const auto& info) { return "Case" + std::to_string(info.index); });

// The new file is made with the umask's permissions, and one that replaces
// a file keeps that file's.
TEST(OutputFile, PermissionsFollowTheUmaskOrTheReplacedFile) {
  pcb9test::TTempDir dir;
  std::string error;
  const mode_t old = umask(027);
  ASSERT_TRUE(WriteOutputFile(dir.File("new"), "x", error)) << error;
  umask(old);
  EXPECT_EQ(fs::status(dir.File("new")).permissions(),
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  dir.Write("private", "secret");
  fs::permissions(dir.File("private"), fs::perms::owner_read | fs::perms::owner_write);
  ASSERT_TRUE(WriteOutputFile(dir.File("private"), "still secret", error)) << error;
  EXPECT_EQ(fs::status(dir.File("private")).permissions(),
            fs::perms::owner_read | fs::perms::owner_write);
}

// A place that changes between the start and the end of the writing is
// looked at again: a link put there meanwhile is refused too.
TEST(OutputFile, ThePlaceIsCheckedAgainWhenTheFileIsComplete) {
  pcb9test::TTempDir dir;
  dir.Write("target", "the link's target");
  TOutputFile file(dir.File("out"));
  ASSERT_TRUE(file.Open()) << file.Error();
  file.Stream() << "the whole output";
  fs::create_symlink(dir.File("target"), dir.File("out"));
  EXPECT_FALSE(file.Commit());
  EXPECT_EQ(file.Reason(), "it is a symbolic link, which is not followed");
  EXPECT_EQ(pcb9test::ReadFileBytes(dir.File("target")), "the link's target");
  EXPECT_EQ(Names(dir.Path()), (std::set<std::string>{"out", "target"}));
}

// An output that fails while it is written (here the file size limit)
// leaves nothing under its name: the earlier file stays whole and the
// temporary file goes.
TEST(OutputFile, AFailedWriteLeavesTheEarlierFileWhole) {
  pcb9test::TTempDir dir;
  dir.Write("out", "the earlier output");
  const auto run = pcb9test::RunInChild([&] {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{4096, 4096};
    setrlimit(RLIMIT_FSIZE, &limit);
    TOutputFile file(dir.File("out"));
    if (!file.Open()) return 2;
    for (int i = 0; i < 100000 && file.Stream(); ++i) file.Stream() << "a line of the output\n";
    if (file.Commit()) return 3;
    std::printf("%s\n", file.Reason().c_str());
    return 0;
  });
  EXPECT_EQ(run.ExitCode, 0) << run.Out << run.Err;
  EXPECT_EQ(run.Out, "File too large\n");
  EXPECT_EQ(pcb9test::ReadFileBytes(dir.File("out")), "the earlier output");
  EXPECT_EQ(Names(dir.Path()), std::set<std::string>{"out"});
}

// A file left unfinished (never committed) is not put in place.
TEST(OutputFile, AnUncommittedFileIsNotPutInPlace) {
  pcb9test::TTempDir dir;
  {
    TOutputFile file(dir.File("out"));
    ASSERT_TRUE(file.Open());
    file.Stream() << "half";
    file.Stream().flush();
  }
  EXPECT_TRUE(Names(dir.Path()).empty());
}

struct TSameCase {
  const char* A;
  const char* B;
  bool Same;
};

void PrintTo(const TSameCase& c, std::ostream* os) { *os << c.A << " and " << c.B; }

// Paths inside a folder that holds "b.PCB", its hard link "hard.PCB", a
// link "soft.PCB" to it, another file "c.PCB" and a folder "sub".
const TSameCase kSameCases[] = {
    {"b.PCB", "./b.PCB", true},
    {"b.PCB", "sub/../b.PCB", true},
    {"b.PCB", "hard.PCB", true},
    {"b.PCB", "soft.PCB", true},
    {"b.PCB", "c.PCB", false},
    {"new.json", "./sub/../new.json", true},
    {"new.json", "sub/new.json", false},
    {"new.json", "New.json", false},
    {"new.json", "b.PCB", false},
    {"missing/x.json", "./missing/x.json", true},
};

class SameFile : public ::testing::TestWithParam<TSameCase> {};

TEST_P(SameFile, ByDeviceAndNumberNotBySpelling) {
  const TSameCase& c = GetParam();
  pcb9test::TTempDir dir;
  dir.Write("b.PCB", "board");
  dir.Write("c.PCB", "other");
  fs::create_hard_link(dir.File("b.PCB"), dir.File("hard.PCB"));
  fs::create_symlink(dir.File("b.PCB"), dir.File("soft.PCB"));
  fs::create_directory(dir.File("sub"));
  const auto a = FileIdentity(dir.File(c.A)), b = FileIdentity(dir.File(c.B));
  ASSERT_TRUE(a && b);
  EXPECT_EQ(*a == *b, c.Same) << c.A << " " << c.B;
  // A relative spelling from the folder is the same file as the full one.
  const fs::path cwd = fs::current_path();
  fs::current_path(dir.Path());
  EXPECT_EQ(FileIdentity(c.A), a);
  fs::current_path(cwd);
}

INSTANTIATE_TEST_SUITE_P(Paths, SameFile, ::testing::ValuesIn(kSameCases),
                         [](const auto& info) { return "Case" + std::to_string(info.index); });

}  // namespace
