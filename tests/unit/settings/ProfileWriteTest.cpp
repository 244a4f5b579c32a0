#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "settings/ProfileFile.h"
#include "support/TempFolder.h"

namespace nq {
namespace {

struct WriteCase {
  const char* Name;
  std::string Before;
  const char* Section;
  const char* Key;
  const char* Value;
  std::string After;
};

class ProfileWriteBytes : public testing::TestWithParam<WriteCase> {};

TEST_P(ProfileWriteBytes, ChangesOnlyTheValueBytes) {
  const WriteCase& c = GetParam();
  test::TempFolder folder;
  const std::string path = folder.Path("board.qdx");
  if (c.Before != "<missing>") test::WriteBytes(path, c.Before);
  ProfileFile file(path);
  ASSERT_TRUE(file.WriteText(c.Section, c.Key, c.Value));
  EXPECT_EQ(test::ReadBytes(path), c.After);
  EXPECT_EQ(file.ReadValue(c.Section, c.Key), std::string(c.Value)); // in-memory copy is current
  EXPECT_EQ(ProfileFile(path).ReadValue(c.Section, c.Key), std::string(c.Value));
}

INSTANTIATE_TEST_SUITE_P(
    Writes, ProfileWriteBytes,
    testing::Values(
        WriteCase{"ReplaceKeepsCrLfAndNeighbours", "; c\r\n[Position]\r\nLeft=305\r\nTop=117\r\n", "position",
                  "LEFT", "12", "; c\r\n[Position]\r\nLeft=12\r\nTop=117\r\n"},
        WriteCase{"ReplaceKeepsBlanksAroundValue", "[s]\n  k =  old  \nz=1\n", "s", "k", "new",
                  "[s]\n  k =  new  \nz=1\n"},
        WriteCase{"ReplaceQuotedValue", "[s]\r\nk=\"old\"\r\n", "s", "k", "new", "[s]\r\nk=new\r\n"},
        WriteCase{"ReplaceEmptyValue", "[s]\nk=\nj=2\n", "s", "k", "v", "[s]\nk=v\nj=2\n"},
        WriteCase{"ReplaceLongerAndShorter", "[s]\nk=1\nj=22222\n", "s", "j", "3", "[s]\nk=1\nj=3\n"},
        WriteCase{"AppendKeyAfterLastLineOfSection", "[a]\r\nx=1\r\n\r\n[b]\r\ny=2\r\n", "A", "New", "v",
                  "[a]\r\nx=1\r\nNew=v\r\n\r\n[b]\r\ny=2\r\n"},
        WriteCase{"AppendKeyOnlyInFirstDuplicate", "[s]\nx=1\n[t]\n[S]\nk=old\n", "s", "k", "v",
                  "[s]\nx=1\nk=v\n[t]\n[S]\nk=old\n"},
        WriteCase{"AppendKeyAtEndWithoutTrailingNewline", "[s]\r\nx=1", "s", "k", "v", "[s]\r\nx=1\r\nk=v"},
        WriteCase{"AppendKeyUsesFileLf", "[s]\nx=1\n", "s", "k", "v", "[s]\nx=1\nk=v\n"},
        WriteCase{"AppendSection", "[s]\r\nx=1\r\n", "Menu Options 2", "Center Captions", "1",
                  "[s]\r\nx=1\r\n[Menu Options 2]\r\nCenter Captions=1\r\n"},
        WriteCase{"AppendSectionWithoutTrailingNewline", "[s]\nx=1", "t", "k", "v", "[s]\nx=1\n[t]\nk=v\n"},
        WriteCase{"EmptyFileUsesCrLf", "", "s", "k", "v", "[s]\r\nk=v\r\n"},
        WriteCase{"MissingFileCreatedWithCrLf", "<missing>", "s", "k", "v", "[s]\r\nk=v\r\n"},
        WriteCase{"LoneCrFileKeepsCr", "[s]\rx=1\r", "s", "k", "v", "[s]\rx=1\rk=v\r"},
        WriteCase{"BlanksAndQuotesAreQuoted", "[s]\nk=1\n", "s", "k", " padded ", "[s]\nk=\" padded \"\n"},
        WriteCase{"OuterQuotesSurvive", "[s]\nk=1\n", "s", "k", "'q'", "[s]\nk=\"'q'\"\n"},
        WriteCase{"Windows1252Value", "[Cell 1]\r\nCaption=x\r\n", "Cell 1", "Caption", "Caf\xE8",
                  "[Cell 1]\r\nCaption=Caf\xE8\r\n"},
        WriteCase{"EmptyValue", "[s]\nk=abc\n", "s", "k", "", "[s]\nk=\n"}),
    [](const testing::TestParamInfo<WriteCase>& info) { return info.param.Name; });

TEST(ProfileFileWrite, RealBoardKeepsEveryOtherByte) {
  test::TempFolder folder;
  const std::string original = test::ReadBytes(NQ_FIXTURES "/settings/board_windows.qdx");
  ASSERT_FALSE(original.empty());
  const std::string path = folder.Path("board.qdx");
  test::WriteBytes(path, original);
  ProfileFile file(path);
  EXPECT_EQ(file.ReadText("Cell 1", "Read", ""), "  Vull un caf\xE8  ");
  EXPECT_EQ(file.ReadValue("Cell 1", "Link"), std::nullopt); // only in the duplicate section

  ASSERT_TRUE(file.WriteInteger("Position", "Left", 40));
  ASSERT_TRUE(file.WriteFlag("Menu Options 2", "Center Captions", true));
  ASSERT_TRUE(file.WriteText("Cell 1", "Link",
                             "seg\xFC"
                             "ent.qdx"));

  std::string expected = original;
  expected.replace(expected.find("Left=305"), 8, "Left=40");
  expected.replace(expected.find("Center Captions=0"), 17, "Center Captions=1");
  expected.insert(expected.find("\r\n\r\n[Cell 2]") + 2, "Link=seg\xFC"
                                                         "ent.qdx\r\n");
  EXPECT_EQ(test::ReadBytes(path), expected);
}

TEST(ProfileFileWrite, UnwritableTargetsLeaveTheFileIntact) {
  // Root passes every permission check, so the writer must honour the mode bits itself.
  struct Case {
    const char* Name;
    mode_t FileMode;
    mode_t FolderMode;
  };
  const Case cases[] = {
      {"read-only file", 0444, 0755}, {"read-only folder", 0644, 0555}, {"no bits", 0, 0755}};
  for (const Case& c : cases) {
    test::TempFolder folder;
    const std::string sub = folder.Path("boards");
    ASSERT_EQ(mkdir(sub.c_str(), 0755), 0);
    const std::string path = sub + "/b.qdx";
    test::WriteBytes(path, "[s]\r\nk=1\r\n");
    chmod(path.c_str(), c.FileMode);
    chmod(sub.c_str(), c.FolderMode);
    ProfileFile file(path);
    EXPECT_FALSE(file.WriteText("s", "k", "2")) << c.Name;
    EXPECT_FALSE(file.WriteText("s", "new", "2")) << c.Name;
    EXPECT_FALSE(file.WriteText("s", "k", "1")) << c.Name << ": an unchanged value still reports the failure";
    EXPECT_EQ(file.ReadText("s", "k", ""), "1") << c.Name;
    chmod(sub.c_str(), 0755);
    EXPECT_EQ(test::ReadBytes(path), "[s]\r\nk=1\r\n") << c.Name;
    struct stat info {};
    stat(path.c_str(), &info);
    EXPECT_EQ(info.st_mode & 07777, c.FileMode) << c.Name;
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(sub), std::filesystem::directory_iterator()),
              1)
        << c.Name << ": no temporary file left behind";
  }
}

TEST(ProfileFileWrite, MissingFolderFailsWithoutCreatingAnything) {
  test::TempFolder folder;
  ProfileFile file(folder.Path("absent/settings.ini"));
  EXPECT_FALSE(file.WriteText("s", "k", "v"));
  EXPECT_FALSE(test::Exists(folder.Path("absent")));
}

TEST(ProfileFileWrite, ReplacementKeepsModeAndSymlink) {
  test::TempFolder folder;
  const std::string path = folder.Path("real.qdx");
  test::WriteBytes(path, "[s]\nk=1\n");
  chmod(path.c_str(), 0640);
  const std::string link = folder.Path("link.qdx");
  ASSERT_EQ(symlink(path.c_str(), link.c_str()), 0);
  ProfileFile file(link);
  ASSERT_TRUE(file.WriteText("s", "k", "2"));
  struct stat info {};
  ASSERT_EQ(lstat(link.c_str(), &info), 0);
  EXPECT_TRUE(S_ISLNK(info.st_mode));
  ASSERT_EQ(stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
  EXPECT_EQ(test::ReadBytes(path), "[s]\nk=2\n");
}

TEST(ProfileFileWrite, NamesAndValuesThatWouldCorruptTheFileAreRefused) {
  struct Case {
    const char* Section;
    const char* Key;
    const char* Value;
  };
  const Case cases[] = {
      {"s", "k", "two\r\n[x]\r\nlines"},
      {"s", "k", "lone\rcr"},
      {"s\n", "k", "v"},
      {"s", "k\n", "v"},
      {"s]", "k", "v"},
      {"s", "a=b", "v"},
      {"", "k", "v"},
      {"s", "  ", "v"},
      {"s", "[k", "v"},
  };
  test::TempFolder folder;
  const std::string path = folder.Path("f.ini");
  test::WriteBytes(path, "[s]\nk=1\n");
  ProfileFile file(path);
  for (const Case& c : cases)
    EXPECT_FALSE(file.WriteText(c.Section, c.Key, c.Value)) << c.Key << c.Value;
  EXPECT_EQ(test::ReadBytes(path), "[s]\nk=1\n");
}

TEST(ProfileFileWrite, WriteStartsFromTheFileOnDisk) {
  test::TempFolder folder;
  const std::string path = folder.Path("f.ini");
  test::WriteBytes(path, "[s]\nk=1\n");
  ProfileFile stale(path);
  test::WriteBytes(path, "[s]\nk=1\nother=kept\n");
  ASSERT_TRUE(stale.WriteText("s", "k", "2"));
  EXPECT_EQ(test::ReadBytes(path), "[s]\nk=2\nother=kept\n");
}

} // namespace
} // namespace nq
