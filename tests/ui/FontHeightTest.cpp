// Captions and the message font are drawn and measured with the height the size decides.
#include <gtest/gtest.h>

#include "linux/QtText.h"
#include "linux/QtTextMetrics.h"

namespace nq {
namespace {

struct FontCase {
  const char* Name;
  int32_t Height;
  int32_t Size;
  int ExpectedPixels; // 11 is the face's default
};

TEST(FontHeightTest, SizeAppliedAfterHeightDecidesThePixels) {
  const FontCase cases[] = {
      {"height without a size gives the default", -40, 0, 11},
      {"positive height without a size gives the default", 30, 0, 11},
      {"size wins over height", -40, 12, 16},
      {"size alone", 0, 20, 27},
      {"negative size is a cell height with its leading", 0, -12, 12},
      {"nothing set", 0, 0, 11},
  };
  QtTextMetrics metrics;
  for (const FontCase& c : cases) {
    FontSpec spec;
    spec.Name = "Arial";
    spec.Height = c.Height;
    spec.Size = c.Size;
    EXPECT_EQ(ToQFont(spec).pixelSize(), c.ExpectedPixels) << c.Name;
    // Measuring must agree with drawing, or captions are placed for another font than they are drawn in.
    FontSpec drawn = spec;
    drawn.Height = 0;
    drawn.Size = 0;
    const int expectedLine = c.ExpectedPixels == 11 ? metrics.LineHeight(drawn) : -1;
    if (expectedLine > 0) {
      EXPECT_EQ(metrics.LineHeight(spec), expectedLine) << c.Name;
    }
  }
}

} // namespace
} // namespace nq
