#pragma once
// 16x16 images shared by the menus, the trees and the tray icon. Images are
// plain ARGB pixels here; a backend turns them into system icons on demand.
#include <array>
#include <cstdint>
#include <vector>

namespace fw {

struct Image {
  static constexpr int kSize = 16;
  std::array<uint32_t, kSize * kSize> argb{};  // row-major, top row first
  uint32_t& At(int x, int y) { return argb[y * kSize + x]; }
  uint32_t At(int x, int y) const { return argb[y * kSize + x]; }
};

class ImageList {
 public:
  int Add(const Image& image) {
    images_.push_back(image);
    ++generation_;
    return static_cast<int>(images_.size()) - 1;
  }
  void Delete(int index) {
    if (index >= 0 && index < Count()) images_.erase(images_.begin() + index), ++generation_;
  }
  int Count() const { return static_cast<int>(images_.size()); }
  const Image* Get(int index) const {
    return index >= 0 && index < Count() ? &images_[index] : nullptr;
  }
  // Changes whenever the list does, so a backend knows when its cache is stale.
  uint64_t Generation() const { return generation_; }

 private:
  std::vector<Image> images_;
  uint64_t generation_ = 0;
};

}  // namespace fw
