// Feeds arbitrary bytes to the pass that merges repeated pictures in a printed PDF: it never fails to
// write, copies what it does not understand unchanged, and what it rewrites it understands again.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "boards/PdfImageMerge.h"

namespace {

void RemoveInputFiles();

// Files of this process, rewritten for every input, so parallel fuzzing jobs never share them.
std::string FilePath(const char* kind) {
  return (std::filesystem::temp_directory_path() /
          ("nq_pdfmerge_fuzz_" + std::to_string(getpid()) + "_" + kind + ".pdf"))
      .string();
}

struct Files {
  std::string Input;
  std::string Output;
};

const Files& Paths() {
  static const Files files{FilePath("in"), FilePath("out")};
  // Registered after the paths exist, so it runs before they are destroyed at exit.
  [[maybe_unused]] static const int removal = std::atexit(RemoveInputFiles);
  return files;
}

void RemoveInputFiles() {
  std::error_code error;
  std::filesystem::remove(Paths().Input, error);
  std::filesystem::remove(Paths().Output, error);
}

void Check(bool condition) {
  if (!condition) std::abort();
}

nq::PdfMergeResult MergeInto(const std::string& from, std::string& to) {
  to.clear();
  return nq::MergeRepeatedImages(from, [&to](std::string_view bytes) {
    to.append(bytes);
    return true;
  });
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  {
    std::ofstream out(Paths().Input, std::ios::binary | std::ios::trunc);
    out << input;
  }
  std::string merged;
  const nq::PdfMergeResult result = MergeInto(Paths().Input, merged);
  Check(result.Read && result.Written);
  if (!result.Understood || result.ImagesMerged == 0) {
    Check(merged == input);
    return 0;
  }
  Check(result.ImagesMerged > 0);
  {
    std::ofstream out(Paths().Output, std::ios::binary | std::ios::trunc);
    out << merged;
  }
  std::string again;
  Check(MergeInto(Paths().Output, again).Understood);
  return 0;
}
