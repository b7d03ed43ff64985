// Controls files of --play --input: the input is the file's text. An accepted file gives one step
// per line with only the seven flag bits, and a refused one a one-line reason.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "app/play_session.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  std::vector<ControlsStep> steps;
  std::string error;
  if (ParseControlsText(text, &steps, &error)) {
    size_t lines = 0;
    for (char c : text) lines += c == '\n';
    if (!text.empty() && text.back() != '\n') ++lines;
    if (steps.size() != lines) std::abort();
    for (ControlsStep step : steps) {
      if (step >= (1u << CF_COUNT)) std::abort();
    }
  } else if (error.empty() || error.find('\n') != std::string::npos) {
    std::abort();
  }
  return 0;
}
