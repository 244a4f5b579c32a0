// Loading picture files: the kind rule, failures that must give "no picture", the size cap, and the
// parallel loader that must agree with loading one by one.
#include <gtest/gtest.h>

#include <array>
#include <thread>

#include "boards/AreaScaler.h"
#include "boards/PictureLoader.h"
#include "support/PictureTestFiles.h"
#include "support/TempFolder.h"

namespace nq {
namespace {

TEST(PictureLoader, KindComesFromTheName) {
  struct Case {
    const char* Name;
    PictureKind Kind;
  };
  const Case cases[] = {
      {"casa.png", PictureKind::Png},
      {"casa.PNG", PictureKind::Png},
      {"casapng", PictureKind::Png},
      {"imatges\\casa.Png", PictureKind::Png},
      {"casa.jpeg", PictureKind::Jpeg},
      {"casa.JPG", PictureKind::Jpeg},
      {"casa.Jpeg", PictureKind::Jpeg},
      {"a.b.jpg", PictureKind::Jpeg},
      {"casa.bmp", PictureKind::Bmp},
      {"CASA.BMP", PictureKind::Bmp},
      {"casa.ico", PictureKind::Unsupported},
      {"casa.wmf", PictureKind::Unsupported},
      {"casa.emf", PictureKind::Unsupported},
      {"casa.gif", PictureKind::Unsupported},
      {"casa", PictureKind::Unsupported},
      {"", PictureKind::Unsupported},
      {"fotos.jpg\\casa", PictureKind::Unsupported},
      {"casa.png ", PictureKind::Unsupported},
      {"casa.jpg.txt", PictureKind::Unsupported},
  };
  for (const Case& c : cases)
    EXPECT_EQ(PictureKindOf(c.Name), c.Kind) << '"' << c.Name << '"';
}

class PictureFiles : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_FALSE(Folder.Root().empty());
    Png = test::EncodePng(test::PatternImage(30, 20), true);
    Jpeg = test::EncodeJpeg(test::PatternImage(30, 20));
    Bmp = test::EncodeBmp(test::PatternImage(30, 20));
    const std::string text = "no soc cap imatge\n";
    Write("casa.PNG", Png);
    Write("casa.jpeg", Jpeg);
    Write("casa.JPG", Jpeg);
    Write("casa.bmp", Bmp);
    Write("casa.ico", Bmp);
    Write("text.png", {text.begin(), text.end()});
    Write("empty.png", {});
    Write("empty.jpg", {});
    Write("empty.bmp", {});
    Write("half.png", {Png.begin(), Png.begin() + static_cast<long>(Png.size() / 2)});
    Write("half.jpg", {Jpeg.begin(), Jpeg.begin() + static_cast<long>(Jpeg.size() / 2)});
    Write("png-inside.jpg", Png);
    std::filesystem::create_directory(Folder.Path("dir.png"));
  }
  void Write(const std::string& name, const std::vector<uint8_t>& bytes) {
    test::WriteBytes(Folder.Path(name), bytes);
  }

  test::TempFolder Folder;
  std::vector<uint8_t> Png, Jpeg, Bmp;
};

TEST_F(PictureFiles, EachNameLoadsOrFails) {
  struct Case {
    const char* Name;
    bool Loads;
    PictureKind Kind;
  };
  const Case cases[] = {
      {"casa.PNG", true, PictureKind::Png},
      {"casa.jpeg", true, PictureKind::Jpeg},
      {"casa.JPG", true, PictureKind::Jpeg},
      {"casa.bmp", true, PictureKind::Bmp},
      {"casa.ico", false, {}},
      {"text.png", false, {}},
      {"missing.png", false, {}},
      {"empty.png", false, {}},
      {"empty.jpg", false, {}},
      {"empty.bmp", false, {}},
      {"half.png", false, {}},
      {"half.jpg", false, {}},
      {"png-inside.jpg", false, {}},
      {"dir.png", false, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    const std::optional<LoadedPicture> picture = LoadPictureFile(Folder.Path(c.Name), c.Name);
    ASSERT_EQ(picture.has_value(), c.Loads);
    if (!picture) continue;
    EXPECT_EQ(picture->Kind, c.Kind);
    EXPECT_EQ(picture->IsBitmap(), c.Kind != PictureKind::Jpeg);
    EXPECT_EQ(picture->Pixels.Width, 30);
    EXPECT_EQ(picture->Pixels.Height, 20);
    EXPECT_EQ(picture->Key.Path, Folder.Path(c.Name));
    EXPECT_EQ(picture->Key.FileSize, std::filesystem::file_size(Folder.Path(c.Name)));
  }
}

// Average colour of a block, to check that a shrunk picture still shows the same scene.
std::array<int, 3> BlockMean(const Image& image, int left, int top, int size) {
  std::array<long, 3> sum{};
  for (int y = top; y < top + size; ++y)
    for (int x = left; x < left + size; ++x)
      for (int c = 0; c < 3; ++c)
        sum[c] += image.Row(y)[x * 4 + c];
  const long n = static_cast<long>(size) * size;
  return {static_cast<int>(sum[0] / n), static_cast<int>(sum[1] / n), static_cast<int>(sum[2] / n)};
}

// Four flat quadrants: red, green / blue, yellow.
Image Quadrants(int width, int height) {
  Image image = test::MakeImage(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      uint8_t* p = image.Row(y) + x * 4;
      const bool right = x >= width / 2, bottom = y >= height / 2;
      p[0] = (!right && !bottom) || (right && bottom) ? 255 : 0;
      p[1] = (right && !bottom) || (right && bottom) ? 255 : 0;
      p[2] = !right && bottom ? 255 : 0;
    }
  return image;
}

TEST_F(PictureFiles, CapShrinksToTheLongestSideAndKeepsColours) {
  struct Case {
    const char* Name;
    int Width, Height, MaxSide, ExpectWidth, ExpectHeight;
  };
  const Case cases[] = {
      {"cap.png", 500, 250, 100, 100, 50},      {"cap.jpg", 1600, 1200, 300, 300, 225},
      {"cap.bmp", 120, 360, 90, 30, 90},        {"fits.png", 80, 60, 100, 80, 60},
      {"nocap.jpg", 1600, 1200, 0, 1600, 1200}, {"dct.jpg", 1600, 1200, 200, 200, 150},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    const Image source = Quadrants(c.Width, c.Height);
    const PictureKind kind = PictureKindOf(c.Name);
    Write(c.Name, kind == PictureKind::Png   ? test::EncodePng(source)
                  : kind == PictureKind::Bmp ? test::EncodeBmp(source)
                                             : test::EncodeJpeg(source, {95, false, false}));
    const std::optional<LoadedPicture> picture =
        LoadPictureFile(Folder.Path(c.Name), c.Name, {c.MaxSide, nullptr});
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->Pixels.Width, c.ExpectWidth);
    EXPECT_EQ(picture->Pixels.Height, c.ExpectHeight);
    EXPECT_EQ(picture->SourceWidth, c.Width);
    EXPECT_EQ(picture->SourceHeight, c.Height);
    const int block = std::max(1, std::min(c.ExpectWidth, c.ExpectHeight) / 5);
    const int right = c.ExpectWidth - 2 * block, bottom = c.ExpectHeight - 2 * block;
    const std::array<std::array<int, 3>, 4> expected{{{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 0}}};
    const std::array<std::array<int, 3>, 4> seen{
        BlockMean(picture->Pixels, block, block, block), BlockMean(picture->Pixels, right, block, block),
        BlockMean(picture->Pixels, block, bottom, block), BlockMean(picture->Pixels, right, bottom, block)};
    for (int q = 0; q < 4; ++q)
      for (int ch = 0; ch < 3; ++ch)
        EXPECT_NEAR(seen[q][ch], expected[q][ch], 12) << "quadrant " << q;
  }
}

TEST(PictureLoader, CapPictureSizeKeepsProportionsAndAtLeastOnePixel) {
  AreaScaler scaler;
  struct Case {
    int Width, Height, MaxSide, ExpectWidth, ExpectHeight;
  };
  for (const Case c : {Case{1000, 10, 100, 100, 1}, Case{10000, 1, 100, 100, 1}, Case{3, 1000, 10, 1, 10},
                       Case{640, 480, 100, 100, 75}, Case{99, 99, 100, 99, 99}, Case{50, 40, 0, 50, 40}}) {
    const Image capped = CapPictureSize(test::MakeImage(c.Width, c.Height), c.MaxSide, scaler);
    EXPECT_EQ(capped.Width, c.ExpectWidth) << c.Width << "x" << c.Height;
    EXPECT_EQ(capped.Height, c.ExpectHeight) << c.Width << "x" << c.Height;
  }
}

TEST_F(PictureFiles, ParallelLoadingEqualsLoadingOneByOne) {
  std::vector<PictureRequest> requests;
  for (int i = 0; i < 24; ++i) {
    const char* extensions[] = {".png", ".jpg", ".bmp"};
    const std::string name = "p" + std::to_string(i) + extensions[i % 3];
    const Image image = test::PatternImage(60 + i, 40 + 2 * i, i);
    Write(name, i % 3 == 0   ? test::EncodePng(image)
                : i % 3 == 1 ? test::EncodeJpeg(image)
                             : test::EncodeBmp(image));
    requests.push_back({Folder.Path(name), name});
  }
  for (const char* name : {"text.png", "missing.jpg", "half.jpg", "casa.ico"})
    requests.push_back({Folder.Path(name), name});
  const PictureLoadOptions options{48, nullptr};
  std::vector<std::optional<LoadedPicture>> serial;
  for (const PictureRequest& r : requests)
    serial.push_back(LoadPictureFile(r.Path, r.Name, options));
  for (const int workers : {1, 2, 4}) {
    SCOPED_TRACE(workers);
    const std::vector<std::optional<LoadedPicture>> parallel = LoadPictureFiles(requests, options, workers);
    ASSERT_EQ(parallel.size(), serial.size());
    for (std::size_t i = 0; i < serial.size(); ++i) {
      ASSERT_EQ(parallel[i].has_value(), serial[i].has_value()) << i;
      if (!serial[i]) continue;
      EXPECT_EQ(parallel[i]->Pixels.Pixels, serial[i]->Pixels.Pixels) << i;
      EXPECT_EQ(parallel[i]->Key, serial[i]->Key) << i;
    }
  }
  EXPECT_TRUE(LoadPictureFiles({}, options).empty());
  EXPECT_EQ(PictureWorkerCount(2, 0), 1);
  EXPECT_EQ(PictureWorkerCount(0, 10), 1);
  EXPECT_LE(PictureWorkerCount(64, 100), static_cast<int>(std::max(1u, std::thread::hardware_concurrency())));
}

} // namespace
} // namespace nq
