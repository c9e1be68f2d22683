// How a path names a file, without a disk: every spelling Windows takes for
// the program's own files names them, and a near miss names something else.

#include "platform/file_paths.h"

#include <gtest/gtest.h>

#include "platform/headless/headless.h"
#include "platform/path_spellings.h"
#include "store/plan_store.h"

namespace temvik::testing {
namespace {

TEST(FilePathsTest, EverySpellingOfAProgramFileNamesItAndANearMissDoesNot) {
  headless::MemoryFiles files("C:\\Program Files\\Temvik");
  const PlanStore store(files);
  const std::string dir = files.programDirectory();
  std::vector<std::string> own{"temvik.exe"};
  for (std::string_view part : kProgramFiles) own.emplace_back(part.substr(1));
  // Names beside the own ones, and the own names in other folders.
  const std::vector<std::pair<std::string, std::string>> misses = {
      {dir, "time2.ini"},
      {dir, "time.ini.bak"},
      {dir, "tim.ini"},
      {dir, "time .ini"},
      {dir, "temvik.exe.ini"},
      {dir, "默认计划.ini"},
      {dir + "\\x", "time.ini"},
      {"C:\\Program Files", "out.ini"},
      {"D:\\Program Files\\Temvik", "win.ini"},
      {"C:\\Temvik", "name.ini"},
      {dir + "1", "fin.ini"},
      {"C:\\Program Files\\Temvi", "fin1.ini"}};

  std::mt19937 rng(20260401);
  for (int round = 0; round < 400; ++round) {
    const std::string& name = own[rng() % own.size()];
    const std::string spelled = spellingOf(rng, dir, name, dir);
    SCOPED_TRACE(spelled);
    EXPECT_TRUE(store.isProgramFile(spelled));
    EXPECT_TRUE(files.sameFile(spelled, dir + "\\" + name));
    EXPECT_EQ(pathKey(spelled, dir), pathKey(dir + "\\" + name, dir));
    // The in-memory disk finds a file under any of its spellings.
    files.put(dir + "\\" + name, name);
    EXPECT_EQ(files.read(spelled), name);

    const auto& [folder, other] = misses[rng() % misses.size()];
    const std::string miss = spellingOf(rng, folder, other, dir);
    EXPECT_FALSE(store.isProgramFile(miss)) << miss;
  }
}

TEST(FilePathsTest, RootsHoldAndSharesCountAsRoots) {
  const std::string cwd = "D:\\work";
  for (const auto& [path, full] : std::vector<std::pair<std::string, std::string>>{
           {"C:\\..\\..\\a", "C:\\a"},
           {"\\\\srv\\share\\..\\..\\a", "\\\\srv\\share\\a"},
           {"//srv/share/./b/", "\\\\srv\\share\\b"},
           {"\\\\?\\UNC\\srv\\share\\a", "\\\\srv\\share\\a"},
           {"C:a", "C:\\a"},
           {"d:a", "D:\\work\\a"},
           {"\\a", "D:\\a"},
           {"..\\..\\..\\a .. ", "D:\\a"},
           {"a.\\b...\\c. .", "D:\\work\\a\\b..\\c"}})
    EXPECT_EQ(fullPathOf(path, cwd), full) << path;
}

}  // namespace
}  // namespace temvik::testing
