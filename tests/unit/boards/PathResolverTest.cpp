// Names written on Windows (backslashes, any letter case, Windows-1252, drive letters) finding
// their files on a Linux file system.
#include "boards/PathResolver.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "support/TempFolder.h"

namespace nq {
namespace {

namespace fs = std::filesystem;

class PathResolverTest : public ::testing::Test {
protected:
  void SetUp() override {
    for (const char* file : {"Taulers/inici.qdx", "Taulers/Imatges/Gos.PNG", "Taulers/imatges/gos.png",
                             "Taulers/Imatges/caf\xC3\xA8.png", "Taulers/Animals/Sons/Lleo.wav",
                             "Taulers/Animals/\xC3\x80NEC.png"}) {
      Make(file);
    }
  }

  void Make(const std::string& relative) {
    const fs::path path = Root / relative;
    fs::create_directories(path.parent_path());
    std::ofstream(path) << "x";
  }
  std::string At(const std::string& relative) const { return Boards + "/" + relative; }

  test::TempFolder Temp;
  const fs::path Root = Temp.Root();
  const std::string Boards = (Root / "Taulers").string();
};

struct FoundCase {
  const char* Name;     // Windows-1252, as a board holds it
  const char* Expected; // UTF-8, relative to the board folder
};

class PathResolverFound : public PathResolverTest, public ::testing::WithParamInterface<FoundCase> {};

TEST_P(PathResolverFound, FindsTheFileOnDisk) {
  const std::optional<std::string> found = FindBoardPath(Boards, GetParam().Name);
  ASSERT_TRUE(found.has_value());
  EXPECT_EQ(*found, At(GetParam().Expected));
  EXPECT_EQ(ResolveBoardPath(Boards + "/", GetParam().Name), At(GetParam().Expected));
}

INSTANTIATE_TEST_SUITE_P(
    Names, PathResolverFound,
    ::testing::Values(FoundCase{"inici.qdx", "inici.qdx"},
                      // Two entries differing only in case: the exact one is taken first.
                      FoundCase{"Imatges\\Gos.PNG", "Imatges/Gos.PNG"},
                      FoundCase{"imatges/gos.png", "imatges/gos.png"}, FoundCase{"INICI.QDX", "inici.qdx"},
                      FoundCase{"animals\\SONS\\lleo.WAV", "Animals/Sons/Lleo.wav"},
                      FoundCase{"Animals\\\\.\\Sons\\\\Lleo.wav", "Animals/Sons/Lleo.wav"},
                      FoundCase{"Imatges\\caf\xE8.png", "Imatges/caf\xC3\xA8.png"},
                      FoundCase{"IMATGES\\CAF\xC8.PNG", "Imatges/caf\xC3\xA8.png"},
                      FoundCase{"animals\\\xE0nec.PNG", "Animals/\xC3\x80NEC.png"},
                      FoundCase{"Animals\\..\\inici.qdx", "Animals/../inici.qdx"},
                      FoundCase{"C:\\Taulers\\Animals\\Sons\\Lleo.wav", "Animals/Sons/Lleo.wav"},
                      FoundCase{"c:\\Mis documentos\\TAULERS\\inici.qdx", "inici.qdx"},
                      FoundCase{"\\Taulers\\animals\\sons\\lleo.wav", "Animals/Sons/Lleo.wav"},
                      FoundCase{"\\\\servidor\\comu\\inici.qdx", "inici.qdx"}));

TEST_F(PathResolverTest, AmbiguousCaseMatchIsTheSmallestName) {
  // "IMATGES" exists neither way: of "Imatges" and "imatges" the byte-wise smaller one is taken.
  EXPECT_EQ(FindBoardPath(Boards, "IMATGES\\GOS.png"), At("Imatges/Gos.PNG"));
}

TEST_F(PathResolverTest, AbsoluteLinuxPathsStartAtTheRoot) {
  const std::string upper = Root.string() + "/TAULERS\\..\\taulers/Animals\\sons\\lleo.wav";
  EXPECT_EQ(FindBoardPath("/elsewhere", upper), Root.string() + "/Taulers/../Taulers/Animals/Sons/Lleo.wav");
}

TEST_F(PathResolverTest, RelativeNamesWithoutFolderUseTheCurrentDirectory) {
  const fs::path previous = fs::current_path();
  fs::current_path(Root);
  EXPECT_EQ(FindBoardPath("", "taulers\\INICI.qdx"), "Taulers/inici.qdx");
  fs::current_path(previous);
}

struct MissingCase {
  const char* Name;
  const char* Literal; // relative to the board folder
};

class PathResolverMissing : public PathResolverTest, public ::testing::WithParamInterface<MissingCase> {};

TEST_P(PathResolverMissing, GivesTheClosestLiteralPath) {
  EXPECT_FALSE(FindBoardPath(Boards, GetParam().Name).has_value());
  EXPECT_EQ(ResolveBoardPath(Boards, GetParam().Name), At(GetParam().Literal));
}

INSTANTIATE_TEST_SUITE_P(Names, PathResolverMissing,
                         ::testing::Values(MissingCase{"imatges\\gat.png", "imatges/gat.png"},
                                           MissingCase{"IMATGES\\GAT.png", "Imatges/GAT.png"},
                                           MissingCase{"Sons\\gat.wav", "Sons/gat.wav"},
                                           MissingCase{"animals\\sons\\lleo.wav\\x",
                                                       "Animals/Sons/Lleo.wav/x"},
                                           MissingCase{"caf\xE8\\gat.png", "caf\xC3\xA8/gat.png"},
                                           MissingCase{"D:\\altres\\gat.png", "altres/gat.png"}));

TEST_F(PathResolverTest, NamesThatNameNothing) {
  for (const char* name : {"", "\\", "C:", ".\\."}) {
    EXPECT_FALSE(FindBoardPath(Boards, name).has_value()) << name;
  }
  // The file system ends a name at its first NUL, so the rest never chooses the file.
  EXPECT_EQ(FindBoardPath(Boards, std::string("inici.qdx\0.png", 14)), At("inici.qdx"));
}

TEST_F(PathResolverTest, NamesNotInUtf8OnDiskAreMatchedAsWindows1252) {
  Make("Taulers/vell/ni\xF1o.png"); // a Latin-1 file name, as old archives unpack them
  EXPECT_EQ(FindBoardPath(Boards, "vell\\NI\xD1O.PNG"), At("vell/ni\xF1o.png"));
}

TEST(FoldNameCase, FoldsAsciiAndAccentedLetters) {
  EXPECT_EQ(FoldNameCase("Caf\xC8 \xC0\xC7\xD1\xDE\x8A\x8C\x8E\x9F"),
            "caf\xE8 \xE0\xE7\xF1\xFE\x9A\x9C\x9E\xFF");
  // The multiplication sign and the sharp s are not letters with a case pair.
  EXPECT_EQ(FoldNameCase("\xD7\xDF[]@_"), "\xD7\xDF[]@_");
}

} // namespace
} // namespace nq
