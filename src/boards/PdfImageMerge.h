#pragma once
// A printed book embeds a picture again whenever the paint engine no longer holds the image it drew
// before (its pictures are let go to keep memory flat). This pass over the finished PDF keeps the
// first of each set of byte-identical image objects, points every reference of the others at it and
// writes a new cross-reference table, reading the file in pieces so its size never matters.
#include <functional>
#include <string>
#include <string_view>

namespace nq {

struct PdfMergeResult {
  bool Read = false;       // the input could be read through
  bool Written = false;    // every write to the sink succeeded
  bool Understood = false; // the file had the shape this pass rewrites; otherwise it is copied as it stands
  int ImagesMerged = 0;    // image objects dropped for an identical earlier one
};

/// Writes the PDF at path to write, its repeated image objects merged. A file of another shape (an
/// updated or encrypted file, a cross-reference stream, damaged offsets) is copied unchanged: this pass
/// only ever makes a file smaller, never different in what it shows. write returns false when it fails.
PdfMergeResult MergeRepeatedImages(const std::string& path,
                                   const std::function<bool(std::string_view)>& write);

} // namespace nq
