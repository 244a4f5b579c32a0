// The pass that merges repeated pictures in a printed PDF: identical image objects become one, every
// reference follows, the cross-reference table points at every object kept, and a file it does not
// fully understand comes out exactly as it went in.
#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <regex>

#include "boards/PdfImageMerge.h"
#include "support/TempFolder.h"

namespace nq {
namespace {

using test::TempFolder;
using test::WriteBytes;

// Objects by number, their text between "N 0 obj" and "endobj".
using Objects = std::map<int, std::string>;

std::string Build(const Objects& objects, const std::string& trailerExtra = "") {
  std::string out = "%PDF-1.4\n%\xe2\xe3\n";
  std::map<int, std::size_t> offsets;
  for (const auto& [number, body] : objects) {
    offsets[number] = out.size();
    out += std::to_string(number) + " 0 obj\n" + body + "\nendobj\n";
  }
  const int size = objects.empty() ? 1 : objects.rbegin()->first + 1;
  const std::size_t table = out.size();
  out += "xref\n0 " + std::to_string(size) + "\n0000000000 65535 f \n";
  for (int n = 1; n < size; ++n) {
    char line[32];
    std::snprintf(line, sizeof line, "%010zu 00000 %c \n", offsets.count(n) ? offsets[n] : 0,
                  offsets.count(n) ? 'n' : 'f');
    out += line;
  }
  out += "trailer\n<<\n/Size " + std::to_string(size) + "\n/Root 1 0 R\n" + trailerExtra + ">>\nstartxref\n" +
         std::to_string(table) + "\n%%EOF\n";
  return out;
}

std::string Image(const std::string& data, int lengthObject, const std::string& extra = "") {
  return "<<\n/Type /XObject\n/Subtype /Image\n/Width 2\n/Height 1\n/BitsPerComponent 8\n" + extra +
         "/Length " + std::to_string(lengthObject) + " 0 R\n>>\nstream\n" + data + "\nendstream";
}

// A catalog, pages, and one page drawing the images whose numbers are given.
Objects Book(const std::vector<int>& images) {
  Objects objects;
  objects[1] = "<<\n/Type /Catalog\n/Pages 2 0 R\n>>";
  objects[2] = "<<\n/Type /Pages\n/Kids [3 0 R]\n/Count 1\n>>";
  std::string names;
  for (const int n : images)
    names += "/Im" + std::to_string(n) + " " + std::to_string(n) + " 0 R\n";
  objects[3] = "<<\n/Type /Page\n/Parent 2 0 R\n/Resources <<\n/XObject <<\n" + names + ">>\n>>\n>>";
  return objects;
}

struct Merged {
  PdfMergeResult Result;
  std::string Bytes;
};

Merged Merge(const std::string& pdf) {
  TempFolder folder;
  WriteBytes(folder.Path("in.pdf"), pdf);
  Merged merged;
  merged.Result = MergeRepeatedImages(folder.Path("in.pdf"), [&merged](std::string_view bytes) {
    merged.Bytes.append(bytes);
    return true;
  });
  return merged;
}

// The objects the table of a written PDF leads to, each checked to start where the table says;
// nothing when an offset is wrong.
std::optional<Objects> ObjectsOf(const std::string& pdf) {
  const std::size_t start = pdf.rfind("startxref");
  if (start == std::string::npos) return std::nullopt;
  const std::size_t table = std::stoul(pdf.substr(start + 9));
  std::smatch header;
  const std::string rest = pdf.substr(table);
  if (!std::regex_search(rest, header, std::regex("^xref\n0 (\\d+)\n"))) return std::nullopt;
  const int size = std::stoi(header[1]);
  Objects objects;
  for (int n = 0; n < size; ++n) {
    const std::string line = rest.substr(header.length() + 20u * n, 20);
    if (line.size() != 20 || line[17] != 'n') continue;
    const std::size_t at = std::stoul(line.substr(0, 10));
    const std::string head = std::to_string(n) + " 0 obj\n";
    if (pdf.compare(at, head.size(), head) != 0) return std::nullopt;
    const std::size_t end = pdf.find("endobj", at);
    objects[n] = pdf.substr(at + head.size(), end - at - head.size());
  }
  return objects;
}

int ImageCount(const Objects& objects) {
  int count = 0;
  for (const auto& [number, body] : objects)
    count += body.find("/Subtype /Image") != std::string::npos;
  return count;
}

TEST(PdfImageMergeTest, RepeatedImagesBecomeOneAndTheirReferencesFollow) {
  Objects objects = Book({4, 6, 8});
  const std::string pixels("\x01\x02\x03\xff\x00\x7f", 6);
  objects[4] = Image(pixels, 5);
  objects[5] = "6";
  objects[6] = Image(pixels, 7); // the same picture embedded again
  objects[7] = "6";
  objects[8] = Image(pixels.substr(0, 5) + "\x7e", 9); // differs in its last byte
  objects[9] = "6";
  const Merged merged = Merge(Build(objects));
  EXPECT_TRUE(merged.Result.Understood && merged.Result.Read && merged.Result.Written);
  EXPECT_EQ(merged.Result.ImagesMerged, 1);
  const std::optional<Objects> out = ObjectsOf(merged.Bytes);
  ASSERT_TRUE(out) << merged.Bytes;
  EXPECT_EQ(ImageCount(*out), 2);
  EXPECT_EQ(out->count(6), 0u);
  EXPECT_EQ(out->count(7), 0u) << "the dropped image's length goes with it";
  EXPECT_NE(out->at(3).find("/Im6 4 0 R"), std::string::npos) << out->at(3);
  EXPECT_NE(out->at(3).find("/Im8 8 0 R"), std::string::npos) << out->at(3);
  EXPECT_EQ(out->at(4), objects[4] + "\n");
  // Merged once, nothing is left to merge: the result is stable.
  const Merged again = Merge(merged.Bytes);
  EXPECT_TRUE(again.Result.Understood);
  EXPECT_EQ(again.Result.ImagesMerged, 0);
  EXPECT_EQ(again.Bytes, merged.Bytes);
}

TEST(PdfImageMergeTest, FreedNumbersFormOneChainFromObjectZero) {
  Objects objects = Book({4, 6, 8});
  for (const int n : {4, 6, 8}) {
    objects[n] = Image("same", n + 1);
    objects[n + 1] = "4";
  }
  const Merged merged = Merge(Build(objects));
  ASSERT_EQ(merged.Result.ImagesMerged, 2);
  const std::string table =
      merged.Bytes.substr(std::stoul(merged.Bytes.substr(merged.Bytes.rfind("startxref") + 9)));
  // Entry n sits at a fixed place after "xref\n0 10\n"; a free entry names the next free number.
  auto entry = [&table](int n) { return table.substr(10 + 20u * n, 20); };
  std::vector<int> chain;
  for (int at = std::stoi(entry(0).substr(0, 10)); at != 0 && chain.size() < 20;
       at = std::stoi(entry(at).substr(0, 10))) {
    EXPECT_EQ(entry(at)[17], 'f') << at;
    chain.push_back(at);
  }
  EXPECT_EQ(chain, (std::vector<int>{6, 7, 8, 9}));
}

TEST(PdfImageMergeTest, ImagesWithTheirSoftMasksMergeAsPairs) {
  Objects objects = Book({5, 7, 9});
  objects[4] = Image("mask", 10);
  objects[5] = Image("rgb", 11, "/SMask 4 0 R\n");
  objects[6] = Image("mask", 12);
  objects[7] = Image("rgb", 13, "/SMask 6 0 R\n");
  objects[8] = Image("other mask", 14);
  objects[9] = Image("rgb", 15, "/SMask 8 0 R\n"); // the same colours over another mask stays apart
  for (int n = 10; n <= 15; ++n)
    objects[n] = n == 14 ? "10" : n == 10 || n == 12 ? "4" : "3";
  const Merged merged = Merge(Build(objects));
  EXPECT_EQ(merged.Result.ImagesMerged, 2);
  const std::optional<Objects> out = ObjectsOf(merged.Bytes);
  ASSERT_TRUE(out);
  EXPECT_EQ(ImageCount(*out), 4);
  EXPECT_NE(out->at(3).find("/Im7 5 0 R"), std::string::npos);
  EXPECT_NE(out->at(9).find("/SMask 8 0 R"), std::string::npos);
}

TEST(PdfImageMergeTest, OnlyReferencesChangeNeverTextThatLooksLikeOne) {
  Objects objects = Book({4, 6});
  objects[4] = Image("pixels", 5);
  objects[5] = "6";
  objects[6] = Image("pixels", 7);
  objects[7] = "6";
  objects[8] = "<<\n/Title (board 6 0 R \\) 6 0 R)\n/Subject <3620302052>\n/Keywords (nested (6 0 R))\n>>";
  const Merged merged = Merge(Build(objects, "/Info 8 0 R\n"));
  ASSERT_EQ(merged.Result.ImagesMerged, 1);
  const std::optional<Objects> out = ObjectsOf(merged.Bytes);
  ASSERT_TRUE(out);
  EXPECT_EQ(out->at(8), objects[8] + "\n");
}

TEST(PdfImageMergeTest, ImagesThatDifferOutsideTheirBytesStayApart) {
  const std::pair<std::string, std::string> cases[] = {
      {"/Width 2\n", "/Width 3\n"},
      {"/Filter /DCTDecode\n", "/Filter /FlateDecode\n"},
      {"/Filter /DCTDecode\n", ""},
      {"/Decode [1 0]\n", "/Decode [0 1]\n"},
  };
  for (const auto& [first, second] : cases) {
    Objects objects = Book({4, 6});
    objects[4] = Image("pixels", 5, first);
    objects[5] = "6";
    objects[6] = Image("pixels", 7, second);
    objects[7] = "6";
    const Merged merged = Merge(Build(objects));
    EXPECT_TRUE(merged.Result.Understood) << second;
    EXPECT_EQ(merged.Result.ImagesMerged, 0) << first << " / " << second;
  }
}

TEST(PdfImageMergeTest, AnImageWhoseLengthIsWrongIsLeftAlone) {
  Objects objects = Book({4, 6, 8});
  objects[4] = Image("pixels", 5);
  objects[5] = "6";
  objects[6] = Image("pixels", 7);
  objects[7] = "4"; // shorter than its data: where the data ends is not known
  objects[8] = Image("pixels", 9);
  objects[9] = "6";
  const Merged merged = Merge(Build(objects));
  EXPECT_EQ(merged.Result.ImagesMerged, 1);
  const std::optional<Objects> out = ObjectsOf(merged.Bytes);
  ASSERT_TRUE(out);
  EXPECT_EQ(out->count(6), 1u);
  EXPECT_EQ(out->count(8), 0u);
}

TEST(PdfImageMergeTest, FilesOfAnotherShapeAreCopiedUnchanged) {
  Objects objects = Book({4, 6});
  objects[4] = Image("pixels", 5);
  objects[5] = "6";
  objects[6] = Image("pixels", 7);
  objects[7] = "6";
  const std::string good = Build(objects);
  std::string shifted = good; // every offset one byte off
  shifted.insert(shifted.find("1 0 obj"), " ");
  std::string unclosed = good; // a dictionary that never closes
  unclosed.replace(unclosed.find(">>\nendobj"), 2, "  ");
  const std::pair<const char*, std::string> cases[] = {
      {"an updated file", Build(objects, "/Prev 9\n")},
      {"an encrypted file", Build(objects, "/Encrypt 3 0 R\n")},
      {"a table stream", Build(objects, "/XRefStm 9\n")},
      {"offsets off by one", shifted},
      {"a dictionary left open", unclosed},
      {"cut in half", good.substr(0, good.size() / 2)},
      {"cut before its end marker", good.substr(0, good.rfind("startxref"))},
      {"not a PDF", "GIF89a" + good},
      {"empty", ""},
      {"a table naming more objects than it lists",
       std::regex_replace(good, std::regex("/Size 8"), "/Size 9")},
  };
  for (const auto& [what, pdf] : cases) {
    const Merged merged = Merge(pdf);
    EXPECT_FALSE(merged.Result.Understood) << what;
    EXPECT_TRUE(merged.Result.Read && merged.Result.Written) << what;
    EXPECT_EQ(merged.Bytes, pdf) << what;
  }
}

TEST(PdfImageMergeTest, FailuresToReadOrWriteAreReported) {
  Objects objects = Book({4, 6});
  objects[4] = Image("pixels", 5);
  objects[5] = "6";
  objects[6] = Image("pixels", 7);
  objects[7] = "6";
  TempFolder folder;
  WriteBytes(folder.Path("in.pdf"), Build(objects));
  const PdfMergeResult refused =
      MergeRepeatedImages(folder.Path("in.pdf"), [](std::string_view) { return false; });
  EXPECT_TRUE(refused.Read);
  EXPECT_FALSE(refused.Written);
  const PdfMergeResult missing =
      MergeRepeatedImages(folder.Path("nothere.pdf"), [](std::string_view) { return true; });
  EXPECT_FALSE(missing.Read);
}

} // namespace
} // namespace nq
