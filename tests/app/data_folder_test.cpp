// Where the program finds its data: the current directory, beside the program, the installed data
// folder ../share/zrsentry, and --data before all of them.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "app/command_line.h"
#include "app_support.h"

namespace {

namespace fs = std::filesystem;

// An install tree in a scratch folder: prefix/games (the program), prefix/share/zrsentry (the
// installed data), a portable copy beside the program, and a current directory.
struct InstallTree {
  TempGameDir root{false};  // current directory while the test runs
  std::string games = root.path() + "/prefix/games";
  std::string installed = root.path() + "/prefix/share/zrsentry";
  std::string here = root.path() + "/here";
  InstallTree() {
    for (const std::string& folder : {games, installed, here}) fs::create_directories(folder);
  }
  static void PutArchive(const std::string& folder) {
    std::ofstream(folder + "/VELDRAN.DAT") << "x";
  }
};

TEST(DataFolderTest, SearchOrderIsCurrentThenBesideTheProgramThenTheInstalledData) {
  InstallTree tree;
  EXPECT_EQ(FindDataDirectory(tree.here, tree.games), "");

  InstallTree::PutArchive(tree.installed);
  std::string found = FindDataDirectory(tree.here, tree.games);
  ASSERT_FALSE(found.empty());
  EXPECT_EQ(fs::canonical(found), fs::canonical(tree.installed));
  EXPECT_EQ(FindDataDirectory(tree.here, ""), "");  // no program folder: nothing relative to it

  InstallTree::PutArchive(tree.games);  // a portable folder wins over the installed data
  EXPECT_EQ(FindDataDirectory(tree.here, tree.games), tree.games);

  InstallTree::PutArchive(tree.here);  // and the current directory over both
  EXPECT_EQ(FindDataDirectory(tree.here, tree.games), tree.here);
}

TEST(DataFolderTest, DataOptionComesBeforeTheCurrentDirectory) {
  InstallTree tree;
  InstallTree::PutArchive(tree.root.path());  // the current directory holds data too
  InstallTree::PutArchive(tree.installed);
  std::string error;
  ASSERT_EQ(ChooseStartDirectory(tree.installed, &error), 1) << error;
  EXPECT_EQ(fs::canonical(fs::current_path()), fs::canonical(tree.installed));
}

TEST(DataFolderTest, TheMessageNamesEveryPlaceSearched) {
  TempGameDir empty(false);
  std::string error;
  ASSERT_EQ(ChooseStartDirectory("", &error), 0);
  EXPECT_NE(error.find("../share/zrsentry"), std::string::npos) << error;
  EXPECT_NE(error.find("--data"), std::string::npos) << error;
  EXPECT_EQ(error.find('\n'), std::string::npos);
}

}  // namespace
