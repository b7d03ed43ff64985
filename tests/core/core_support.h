// Shared helpers of the core tests: a captured warning box and small file helpers.
#pragma once
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "engine/platform/message_box.h"

struct CapturedBox {
  std::string text;
  std::string caption;
  uint32_t type;  // without MB_SYSTEMMODAL, which every box gets
};

inline std::vector<CapturedBox>& captured_boxes() {
  static std::vector<CapturedBox> boxes;
  return boxes;
}

inline int capture_box(const char* text, const char* caption, uint32_t type) {
  captured_boxes().push_back(
      {text != nullptr ? text : "", caption != nullptr ? caption : "", type & ~MB_SYSTEMMODAL});
  return IDOK;
}

// Installs the capturing box for the lifetime of the object.
struct BoxCapture {
  BoxCapture() {
    captured_boxes().clear();
    zr_message_box_set_hook(capture_box);
  }
  ~BoxCapture() { zr_message_box_set_hook(nullptr); }
  const std::vector<CapturedBox>& boxes() const { return captured_boxes(); }
};

inline void write_file(const std::string& path, const std::string& bytes) {
  std::filesystem::path p(path);
  if (p.has_parent_path()) std::filesystem::create_directories(p.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

inline std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
