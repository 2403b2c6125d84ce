// The named channel's lifetime across processes: create-or-join, open-only,
// the last holder freeing the name, and holders that crashed.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <set>
#include <string>

#include "channel/channel_layout.h"
#include "platform/shared_memory.h"

namespace {

using platform::SharedMemory;
constexpr std::size_t kSize = channel::kChannelBytes;

std::string uniqueId(const char* tag) { return std::string("shm-test-") + tag + "-" + std::to_string(getpid()); }

bool nameExists(const std::string& id) {
  struct stat st {};
  return stat(("/dev/shm" + SharedMemory::objectName(id)).c_str(), &st) == 0;
}

// A child process that creates the channel, writes a marker, reports through a
// pipe and then waits to be killed.
pid_t spawnHolder(const std::string& id, int marker) {
  int fds[2];
  if (pipe(fds) != 0) return -1;
  const pid_t pid = fork();
  if (pid == 0) {
    close(fds[0]);
    SharedMemory memory;
    char ok = 0;
    if (SharedMemory::createOrJoin(id, kSize, memory) != SharedMemory::Outcome::failed && memory.map()) {
      static_cast<int*>(memory.address())[0] = marker;
      ok = 1;
    }
    if (write(fds[1], &ok, 1) != 1) _exit(1);
    for (;;) pause();
  }
  close(fds[1]);
  char ok = 0;
  const bool reported = read(fds[0], &ok, 1) == 1 && ok == 1;
  close(fds[0]);
  if (!reported) {
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    return -1;
  }
  return pid;
}

void killHolder(pid_t pid) {
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
}

TEST(SharedMemory, CreateThenJoinSeesTheSameBlock) {
  const std::string id = uniqueId("join");
  SharedMemory first, second, third;
  ASSERT_EQ(SharedMemory::createOrJoin(id, kSize, first), SharedMemory::Outcome::created);
  ASSERT_EQ(SharedMemory::createOrJoin(id, kSize, second), SharedMemory::Outcome::joined);
  ASSERT_TRUE(SharedMemory::openExisting(id, kSize, third));
  auto* a = static_cast<float*>(first.map());
  auto* c = static_cast<float*>(third.map());
  ASSERT_NE(a, nullptr);
  ASSERT_NE(c, nullptr);
  a[100] = 0.25f;
  EXPECT_EQ(c[100], 0.25f);
}

TEST(SharedMemory, OpenOnlyFailsWhenNobodyCreatedTheName) {
  SharedMemory memory;
  EXPECT_FALSE(SharedMemory::openExisting(uniqueId("absent"), kSize, memory));
  EXPECT_FALSE(memory.isOpen());
}

TEST(SharedMemory, LastReleaseFreesTheNameAndTheNextCreationIsZeroed) {
  const std::string id = uniqueId("release");
  {
    SharedMemory first, second;
    ASSERT_EQ(SharedMemory::createOrJoin(id, kSize, first), SharedMemory::Outcome::created);
    ASSERT_TRUE(SharedMemory::openExisting(id, kSize, second));
    static_cast<int*>(first.map())[7] = 1234;
    first.close();
    EXPECT_TRUE(nameExists(id)) << "a holder is still there";
    SharedMemory probe;
    EXPECT_TRUE(SharedMemory::openExisting(id, kSize, probe));
  }
  EXPECT_FALSE(nameExists(id));
  SharedMemory probe;
  EXPECT_FALSE(SharedMemory::openExisting(id, kSize, probe));
  SharedMemory fresh;
  ASSERT_EQ(SharedMemory::createOrJoin(id, kSize, fresh), SharedMemory::Outcome::created);
  EXPECT_EQ(static_cast<int*>(fresh.map())[7], 0);
}

TEST(SharedMemory, AnotherProcessHoldsTheChannelUntilItIsKilled) {
  const std::string id = uniqueId("crash");
  const pid_t holder = spawnHolder(id, 77);
  ASSERT_GT(holder, 0);
  {
    SharedMemory memory;
    ASSERT_TRUE(SharedMemory::openExisting(id, kSize, memory));
    EXPECT_EQ(static_cast<int*>(memory.map())[0], 77);
  }
  EXPECT_TRUE(nameExists(id)) << "our release must not free a block the holder still has";
  killHolder(holder);  // dies holding the channel: no release runs
  EXPECT_TRUE(nameExists(id)) << "POSIX names outlive their holders";
  SharedMemory memory;
  EXPECT_FALSE(SharedMemory::openExisting(id, kSize, memory)) << "a name nobody holds counts as absent";
  ASSERT_EQ(SharedMemory::createOrJoin(id, kSize, memory), SharedMemory::Outcome::created);
  EXPECT_EQ(static_cast<int*>(memory.map())[0], 0) << "a fresh block, not the dead holder's";
}

TEST(SharedMemory, BlocksAreReadableByTheirUserOnly) {
  const std::string id = uniqueId("mode");
  SharedMemory memory;
  ASSERT_EQ(SharedMemory::createOrJoin(id, kSize, memory), SharedMemory::Outcome::created);
  struct stat st {};
  ASSERT_EQ(stat(("/dev/shm" + SharedMemory::objectName(id)).c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  EXPECT_EQ(st.st_uid, geteuid());
}

TEST(ObjectName, IsInjectiveAndStaysInsideTheNamespace) {
  const std::string identifiers[] = {
      "a/b", "a%2Fb", "a b", "a%20b", "a_b", "a-b", "a.b", "A", "a", "\xc3\xa9t\xc3\xa9", "\xff", "\x01",
      std::string("x\0y", 3), "..", "/", "%", "lock", std::string(32, '\xff')};
  std::set<std::string> names;
  for (const std::string& id : identifiers) {
    const std::string name = SharedMemory::objectName(id);
    ASSERT_FALSE(name.empty()) << id;
    EXPECT_EQ(name[0], '/');
    EXPECT_EQ(name.find('/', 1), std::string::npos) << name;
    EXPECT_LE(name.size(), 255u);
    names.insert(name);
  }
  EXPECT_EQ(names.size(), std::size(identifiers));
  EXPECT_EQ(names.count(SharedMemory::objectName("lock")), 1u);
}

TEST(ObjectName, RefusesTheEmptyIdentifierAndNamesTooLongToExist) {
  EXPECT_EQ(SharedMemory::objectName(""), "");
  EXPECT_EQ(SharedMemory::objectName(std::string(255, 'a')), "");
  SharedMemory memory;
  EXPECT_EQ(SharedMemory::createOrJoin("", kSize, memory), SharedMemory::Outcome::failed);
  EXPECT_EQ(SharedMemory::createOrJoin(std::string(255, '\xee'), kSize, memory), SharedMemory::Outcome::failed);
  EXPECT_FALSE(memory.isOpen());
}

TEST(SharedMemory, IdentifiersThatDifferOnlyInEncodedBytesGetDifferentBlocks) {
  const std::string base = uniqueId("enc");
  SharedMemory slash, percent;
  ASSERT_EQ(SharedMemory::createOrJoin(base + "/x", kSize, slash), SharedMemory::Outcome::created);
  ASSERT_EQ(SharedMemory::createOrJoin(base + "%2Fx", kSize, percent), SharedMemory::Outcome::created);
  static_cast<int*>(slash.map())[0] = 5;
  EXPECT_EQ(static_cast<int*>(percent.map())[0], 0);
}

}  // namespace
