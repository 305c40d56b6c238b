// labelplu: the embedded images of a label (EmbeddedImages of
// EmbeddedImage), which the picture items draw from.
//
// An image keeps its bitmap file (the bytes of a BMP file, as a template
// embeds it) and the decoded picture. One thread at a time.
#ifndef LABELPLU_LABEL_EMBEDDEDIMAGES_H
#define LABELPLU_LABEL_EMBEDDEDIMAGES_H

#include <QImage>

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace labelplu {

// The largest bitmap the label model decodes: sides up to 32767 pixels,
// 2^26 pixels in all (256 MiB at 32 bits per pixel).
inline constexpr int32_t kMaxBitmapSide = 32767;
inline constexpr int64_t kMaxBitmapPixels = int64_t{1} << 26;

// The picture in a BMP file's bytes (file header included). Throws
// std::runtime_error "not a bitmap file" for anything else and for a
// bitmap beyond the limits above (checked before any pixel is decoded).
QImage DecodeBitmapFile(std::span<const uint8_t> bytes);
// The picture as a 24-bit BMP file (bottom-up rows, no compression).
std::vector<uint8_t> EncodeBitmapFile(const QImage& image);

// One embedded image.
class EmbeddedImage {
 public:
  // From the bytes of a bitmap file; throws as DecodeBitmapFile.
  EmbeddedImage(std::string name, std::string path, std::vector<uint8_t> fileBytes);
  // From a picture; the file bytes are its 24-bit BMP form.
  EmbeddedImage(std::string name, std::string path, const QImage& bitmap);

  const std::string& Name() const { return m_name; }  // file name without directory
  const std::string& Path() const { return m_path; }  // the directory it came from; may be empty
  const QImage& Bitmap() const { return m_bitmap; }
  const std::vector<uint8_t>& FileBytes() const { return m_fileBytes; }

 private:
  std::string m_name;
  std::string m_path;
  std::vector<uint8_t> m_fileBytes;
  QImage m_bitmap;
};

// The image list; it owns its images.
class EmbeddedImages {
 public:
  void Add(std::unique_ptr<EmbeddedImage> image);
  void Clear() { m_images.clear(); }
  int32_t Count() const { return static_cast<int32_t>(m_images.size()); }
  // 0 <= index < Count(); std::out_of_range otherwise.
  const EmbeddedImage& Item(int32_t index) const {
    return *m_images.at(static_cast<size_t>(index));
  }
  // The first image whose Name equals name ignoring case; null when none.
  const EmbeddedImage* Find(std::string_view name) const;

 private:
  std::vector<std::unique_ptr<EmbeddedImage>> m_images;
};

}  // namespace labelplu

#endif  // LABELPLU_LABEL_EMBEDDEDIMAGES_H
