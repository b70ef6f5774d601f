// pcb9-host starts once, as itself, however it is started (through the
// dynamic loader by hand, with any environment, set-user-ID or
// set-group-ID), loads its plug-in from its own folder or --plugin PATH and
// from nowhere else, and its install tree runs from wherever it is moved.
#include <elf.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "support/Child.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;
using pcb9test::TChildOutcome;

const std::string kHost = pcb9test::BinPath("pcb9-host");
const std::string kPlugin = pcb9test::BinPath("libpcb9import.so");

TChildOutcome RunIn(const std::string& folder, const std::vector<std::string>& argv,
                    const std::vector<std::string>& env = {}) {
  return pcb9test::RunProgramIn(folder, argv, env);
}

// What `describe` prints when the host is started plainly.
const std::string& Description() {
  static const std::string text = RunIn("/", {kHost, "describe"}).Out;
  return text;
}

// The dynamic loader a program names (its ELF interpreter).
std::string Interpreter(const std::string& program) {
  const std::string bytes = pcb9test::ReadFileBytes(program);
  Elf64_Ehdr header{};
  if (bytes.size() < sizeof header) return {};
  std::memcpy(&header, bytes.data(), sizeof header);
  for (size_t i = 0; i < header.e_phnum; ++i) {
    Elf64_Phdr segment{};
    const size_t at = header.e_phoff + i * header.e_phentsize;
    if (at + sizeof segment > bytes.size()) break;
    std::memcpy(&segment, bytes.data() + at, sizeof segment);
    if (segment.p_type == PT_INTERP && segment.p_offset + segment.p_filesz <= bytes.size())
      return std::string(bytes.data() + segment.p_offset).substr(0, segment.p_filesz);
  }
  return {};
}

// A copy of the host alone, in a folder of its own that every user may
// read (so a set-user-ID copy can read itself).
std::string CopyHost(const pcb9test::TTempDir& dir, bool withPlugin) {
  fs::permissions(dir.Path(), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                  fs::perms::others_read | fs::perms::others_exec);
  fs::copy_file(kHost, dir.File("pcb9-host"));
  if (withPlugin) fs::copy_file(kPlugin, dir.File("libpcb9import.so"));
  return dir.File("pcb9-host");
}

// Described, by a process that kept its name to the end (a program
// started again through /proc/self/exe ends named "exe").
void ExpectDescribed(const TChildOutcome& run, const std::string& name = "pcb9-host") {
  EXPECT_EQ(run.ExitCode, 0) << run.Err;
  EXPECT_EQ(run.NameAtExit, name);
  EXPECT_EQ(run.Out, Description());
  EXPECT_EQ(run.Err, "");
}

// One line on standard error, exit 2, nothing on standard output.
void ExpectRefusedWith(const TChildOutcome& run, const std::string& start) {
  EXPECT_EQ(run.ExitCode, 2) << run.Out << run.Err;
  EXPECT_EQ(run.Out, "");
  EXPECT_EQ(run.Err.rfind("pcb9-host: " + start, 0), 0u) << run.Err;
  EXPECT_EQ(run.Err.find('\n'), run.Err.size() - 1) << run.Err;
}

TEST(HostStart, ThroughTheDynamicLoaderByHandFromAnotherFolder) {
  ASSERT_FALSE(Description().empty());
  const std::string loader = Interpreter(kHost);
  ASSERT_FALSE(loader.empty());
  pcb9test::TTempDir elsewhere;
  ExpectDescribed(RunIn(elsewhere.Path().string(), {loader, kHost, "describe"}),
                  fs::path(loader).filename().string().substr(0, 15));
  // An import too: the plug-in found, the board made, the dump written.
  const std::string board = std::string(PCB9_BIN_DIR) + "/../examples/board.PCB";
  const TChildOutcome import =
      RunIn(elsewhere.Path().string(),
            {loader, kHost, "import", board, "--json", elsewhere.File("board.json")},
            // The leak checker takes the loader's own record of the
            // plug-in's dependencies for a leak when the loader is run by
            // hand.
            {"ASAN_OPTIONS=detect_leaks=0"});
  EXPECT_EQ(import.ExitCode, 0) << import.Out << import.Err;
  EXPECT_NE(pcb9test::ReadFileBytes(elsewhere.File("board.json")).find("\"result\": true"),
            std::string::npos);
}

TEST(HostStart, WhateverTheEnvironmentHolds) {
  const std::vector<std::vector<std::string>> environments = {
      {},
      {"GLIBC_TUNABLES=glibc.malloc.hugetlb=0"},
      {"GLIBC_TUNABLES=glibc.malloc.hugetlb=1"},
      {"GLIBC_TUNABLES="},
      {"LD_LIBRARY_PATH=", "PATH="},
      {"MIMALLOC_LARGE_OS_PAGES=0", "MIMALLOC_VERBOSE=0"},
  };
  for (const auto& env : environments) {
    SCOPED_TRACE(env.empty() ? "empty" : env.front());
    ExpectDescribed(RunIn("/", {kHost, "describe"}, env));
  }
}

// The plug-in's allocations go through the host's allocator (mimalloc,
// linked into the host programs outside the sanitizer builds), as the
// dynamic loader binds them.
TEST(HostStart, ThePlugInAllocatesThroughTheHostsAllocator) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the sanitizers bring their own allocator";
#endif
  const TChildOutcome run = RunIn("/", {kHost, "describe"}, {"LD_DEBUG=bindings"});
  ASSERT_EQ(run.ExitCode, 0) << run.Err;
  bool newBound = false;
  for (size_t at = run.Err.find("libpcb9import.so"); at != std::string::npos;
       at = run.Err.find("libpcb9import.so", at + 1)) {
    const std::string line = run.Err.substr(at, run.Err.find('\n', at) - at);
    if (line.find("`_Znwm'") == std::string::npos) continue;
    newBound = true;
    EXPECT_NE(line.find("libmimalloc.so"), std::string::npos) << line;
  }
  EXPECT_TRUE(newBound) << "no binding of the plug-in's operator new seen";
}

// As root, a copy owned by another user or group with the set-ID bit: the
// loader then runs it in secure mode (environment filtered, effective IDs
// not the real ones).
TEST(HostStart, AsASetUserIdOrSetGroupIdProgram) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the leak checker cannot inspect a set-ID process";
#endif
  if (geteuid() != 0) GTEST_SKIP() << "needs root to give a copy another owner";
  const passwd* nobody = getpwnam("nobody");
  const group* nogroup = getgrnam("nogroup");
  if (!nobody || !nogroup) GTEST_SKIP() << "no user nobody or group nogroup";
  struct TCase {
    const char* Name;
    mode_t Bit;
    uid_t Owner;
    gid_t Group;
  };
  for (const TCase& c : {TCase{"set-user-ID", S_ISUID, nobody->pw_uid, static_cast<gid_t>(-1)},
                         TCase{"set-group-ID", S_ISGID, static_cast<uid_t>(-1), nogroup->gr_gid}}) {
    SCOPED_TRACE(c.Name);
    pcb9test::TTempDir dir;
    struct statvfs mount {};
    ASSERT_EQ(statvfs(dir.Path().c_str(), &mount), 0);
    if (mount.f_flag & ST_NOSUID) GTEST_SKIP() << "the temporary folder is mounted nosuid";
    const std::string host = CopyHost(dir, true);
    ASSERT_EQ(chown(host.c_str(), c.Owner, c.Group), 0);
    ASSERT_EQ(chmod(host.c_str(), 0755 | c.Bit), 0);
    ExpectDescribed(RunIn("/", {host, "describe"}, {"PATH=/usr/bin:/bin"}));
  }
}

TEST(HostPlugin, NeverFromTheCurrentFolderNorTheLibraryPath) {
  pcb9test::TTempDir alone, current;
  const std::string host = CopyHost(alone, false);
  fs::copy_file(kPlugin, current.File("libpcb9import.so"));
  // No plug-in beside the program: refused, though the current folder has
  // one.
  ExpectRefusedWith(RunIn(current.Path().string(), {host, "describe"}),
                    "cannot load the plug-in " + alone.File("libpcb9import.so") + ": ");
  // A bare name is a path in the current folder, never searched for along
  // the library path.
  const std::string bin = fs::path(kPlugin).parent_path().string();
  ExpectRefusedWith(RunIn(alone.Path().string(), {kHost, "--plugin", "libpcb9import.so", "describe"},
                          {"LD_LIBRARY_PATH=" + bin}),
                    "cannot load the plug-in " + alone.File("libpcb9import.so") + ": ");
  ExpectDescribed(RunIn(current.Path().string(), {kHost, "--plugin", "libpcb9import.so", "describe"}));
}

TEST(HostPlugin, FromTheProgramsOwnFolderThroughALink) {
  pcb9test::TTempDir links;
  fs::create_symlink(kHost, links.File("pcb9-host"));
  ExpectDescribed(RunIn(links.Path().string(), {links.File("pcb9-host"), "describe"}));
}

// Without /proc (a mount namespace of its own with an empty /proc) the
// program's folder is unknown: one line, and nothing loaded from elsewhere.
TEST(HostPlugin, StopsWhenItsOwnFolderIsUnknown) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the sanitizers' runtime itself needs /proc";
#endif
  if (RunIn("/", {"/usr/bin/unshare", "-m", "/bin/true"}).ExitCode != 0)
    GTEST_SKIP() << "cannot make a mount namespace here";
  pcb9test::TTempDir current;
  fs::copy_file(kPlugin, current.File("libpcb9import.so"));
  const std::string script = "mount -t tmpfs none /proc && exec " + kHost + " describe";
  ExpectRefusedWith(
      RunIn(current.Path().string(), {"/usr/bin/unshare", "-m", "/bin/sh", "-c", script}),
      "cannot find the program's own folder to load the plug-in from (cannot read "
      "/proc/self/maps); give --plugin PATH");
}

// cmake --install into one folder, the tree moved to another: the programs
// find their libraries from their own place, not through the build folder.
TEST(HostInstall, RunsFromWhereverTheTreeIsMoved) {
  pcb9test::TTempDir dir;
  const TChildOutcome install = RunIn(
      "/", {PCB9_CMAKE_COMMAND, "--install", std::string(PCB9_BIN_DIR) + "/..", "--prefix",
            dir.File("first")},
      {"PATH=/usr/bin:/bin"});
  ASSERT_EQ(install.ExitCode, 0) << install.Out << install.Err;
  fs::rename(dir.File("first"), dir.File("moved"));
  const std::string host = dir.File("moved") + "/bin/pcb9-host";
  ExpectDescribed(RunIn("/", {host, "describe"}, {"LD_LIBRARY_PATH="}));
  const TChildOutcome libraries = RunIn("/", {host}, {"LD_TRACE_LOADED_OBJECTS=1"});
  EXPECT_NE(libraries.Out.find("libMorvik.so => " + dir.File("moved") + "/"), std::string::npos)
      << libraries.Out;
  EXPECT_EQ(libraries.Out.find(PCB9_BIN_DIR), std::string::npos) << libraries.Out;
  const std::string board = std::string(PCB9_BIN_DIR) + "/../examples/board.PCB";
  const TChildOutcome disassembled =
      RunIn("/", {dir.File("moved") + "/bin/pcb9-asm", "dis", board, "-o", dir.File("board.pcbt")});
  EXPECT_EQ(disassembled.ExitCode, 0) << disassembled.Err;
}

}  // namespace
