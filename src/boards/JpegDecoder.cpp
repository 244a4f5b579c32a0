#include "boards/JpegDecoder.h"

// clang-format off
#include <cstddef>
#include <cstdio>
#include <jpeglib.h>
#include <jerror.h>
// clang-format on

#include <csetjmp>
#include <new>
#include <vector>

#include "boards/PictureLimits.h"

namespace nq {
namespace {

// A progressive file can ask for thousands of tiny scans, each a pass over the whole image.
constexpr int MaxScans = 1000;

struct JpegErrors {
  jpeg_error_mgr Manager; // first, so libjpeg's pointer to it is also a pointer to this
  std::jmp_buf Jump;
  bool CutShort = false;
};

void OnJpegError(j_common_ptr info) {
  std::longjmp(reinterpret_cast<JpegErrors*>(info->err)->Jump, 1);
}

// Warnings are tolerated (many real files carry stray bytes), except the end of data arriving early:
// libjpeg would fill the rest with grey and call it a success.
void OnJpegMessage(j_common_ptr info, int level) {
  if (level < 0 && info->err->msg_code == JWRN_JPEG_EOF)
    reinterpret_cast<JpegErrors*>(info->err)->CutShort = true;
}

void OnJpegProgress(j_common_ptr info) {
  auto* decoder = reinterpret_cast<j_decompress_ptr>(info);
  if (decoder->input_scan_number > MaxScans) OnJpegError(info);
}

bool IsInk(J_COLOR_SPACE space) {
  return space == JCS_CMYK || space == JCS_YCCK;
}

// Adobe writes CMYK inverted (255 = no ink); files without its marker are taken as plain CMYK.
void InkToRgba(const uint8_t* ink, int width, bool inverted, uint8_t* out) {
  for (int x = 0; x < width; ++x, ink += 4, out += 4) {
    int c = ink[0], m = ink[1], y = ink[2], k = ink[3];
    if (!inverted) c = 255 - c, m = 255 - m, y = 255 - y, k = 255 - k;
    out[0] = static_cast<uint8_t>((c * k + 127) / 255);
    out[1] = static_cast<uint8_t>((m * k + 127) / 255);
    out[2] = static_cast<uint8_t>((y * k + 127) / 255);
    out[3] = 255;
  }
}

struct JpegJob {
  std::span<const uint8_t> Data;
  int MaxSide = 0;
  JpegPicture* Out = nullptr;
  std::vector<uint8_t>* InkRow = nullptr;
  jpeg_progress_mgr* Progress = nullptr;
};

// libjpeg reports errors by longjmp to the setjmp below. This frame holds no object with a destructor
// and everything it fills lives in the caller's frame, so a jump skips no cleanup; the caller destroys
// the decoder whichever way this returns.
bool ReadJpeg(jpeg_decompress_struct* decoder, JpegErrors* errors, const JpegJob* job) {
  if (setjmp(errors->Jump)) return false;
  jpeg_create_decompress(decoder);
  decoder->progress = job->Progress; // attached after creation, which clears the structure
  jpeg_mem_src(decoder, job->Data.data(), static_cast<unsigned long>(job->Data.size()));
  jpeg_read_header(decoder, TRUE);
  if (!PictureSizeAllowed(decoder->image_width, decoder->image_height)) return false;
  job->Out->SourceWidth = static_cast<int>(decoder->image_width);
  job->Out->SourceHeight = static_cast<int>(decoder->image_height);
  decoder->scale_num = 1;
  decoder->scale_denom = static_cast<unsigned>(
      JpegScaleDenominator(job->Out->SourceWidth, job->Out->SourceHeight, job->MaxSide));
  const bool ink = IsInk(decoder->jpeg_color_space);
  decoder->out_color_space = ink ? JCS_CMYK : JCS_EXT_RGBA;
  jpeg_start_decompress(decoder);
  if (decoder->output_components != 4) return false;
  Image& image = job->Out->Pixels;
  image.Width = static_cast<int>(decoder->output_width);
  image.Height = static_cast<int>(decoder->output_height);
  image.Pixels.resize(static_cast<std::size_t>(image.Width) * image.Height * 4);
  if (ink) job->InkRow->resize(static_cast<std::size_t>(image.Width) * 4);
  while (decoder->output_scanline < decoder->output_height) {
    uint8_t* target = image.Row(static_cast<int>(decoder->output_scanline));
    JSAMPROW row = ink ? job->InkRow->data() : target;
    if (jpeg_read_scanlines(decoder, &row, 1) != 1) return false;
    if (ink) InkToRgba(job->InkRow->data(), image.Width, decoder->saw_Adobe_marker, target);
  }
  jpeg_finish_decompress(decoder);
  return !errors->CutShort;
}

} // namespace

int JpegScaleDenominator(int width, int height, int maxSide) {
  if (maxSide <= 0) return 1;
  const int longer = width > height ? width : height;
  for (int denominator = 8; denominator > 1; denominator /= 2) {
    if ((longer + denominator - 1) / denominator >= maxSide) return denominator;
  }
  return 1;
}

std::optional<JpegPicture> DecodeJpeg(std::span<const uint8_t> data, int maxSide) {
  if (data.size() < 4) return std::nullopt;
  jpeg_decompress_struct decoder{};
  JpegErrors errors{};
  decoder.err = jpeg_std_error(&errors.Manager);
  errors.Manager.error_exit = OnJpegError;
  errors.Manager.emit_message = OnJpegMessage;
  jpeg_progress_mgr progress{};
  progress.progress_monitor = OnJpegProgress;
  JpegPicture picture;
  std::vector<uint8_t> inkRow;
  const JpegJob job{data, maxSide, &picture, &inkRow, &progress};
  bool ok = false;
  try {
    ok = ReadJpeg(&decoder, &errors, &job);
  } catch (const std::bad_alloc&) {
    ok = false;
  }
  jpeg_destroy_decompress(&decoder);
  if (!ok) return std::nullopt;
  return picture;
}

} // namespace nq
