// Error reporting: a registry of modules with their message tables and report switches, the
// shared detail text and the last recorded error.
#include "engine/core/error.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "engine/platform/message_box.h"

namespace {

struct ErrorModule {
  char name[ZR_ERROR_NAME_MAX + 1];
  const char* const* messages;
  int32_t* reportSwitch;
};

constexpr const char* kErrorMessages[] = {
    "Warning!  Too many modules in zr_error",
    "Warning!  Module name over 40 characters.  Tisk Tisk.",
};
constexpr int kErrorTooMany = 0;
constexpr int kErrorNameTooLong = 1;

ErrorModule g_modules[ZR_ERROR_MAX_MODULES];
int g_moduleCount = 0;
char g_detail[ZR_ERROR_DETAIL_SIZE];
int g_lastModule = -1;
int g_lastCode = 0;
// The service's own module number; -1 until zr_error_init has run.
int g_errorModule = -1;

bool valid_module(int module) {
  return module >= 0 && module < g_moduleCount;
}

}  // namespace

int zr_error_init(int32_t* report_switch) {
  std::memset(g_modules, 0, sizeof g_modules);
  g_moduleCount = 0;
  g_detail[0] = '\0';
  g_lastModule = -1;
  g_lastCode = 0;
  g_errorModule = -1;
  g_errorModule = zr_error_add_module("Error", kErrorMessages, report_switch);
  return 1;
}

int zr_error_add_module(const char* name, const char* const* messages, int32_t* report_switch) {
  if (name == nullptr) name = "";
  // A module started again without the registry being emptied keeps its slot; otherwise repeated
  // starts (tests, restarts of a module) would fill the registry with copies of one module.
  for (int i = 0; i < g_moduleCount; ++i) {
    if (g_modules[i].messages == messages &&
        std::strncmp(g_modules[i].name, name, ZR_ERROR_NAME_MAX) == 0) {
      g_modules[i].reportSwitch = report_switch;
      return i;
    }
  }
  if (g_moduleCount >= ZR_ERROR_MAX_MODULES) {
    zr_error_report(g_errorModule, kErrorTooMany);
    return -1;
  }
  if (std::strlen(name) > static_cast<size_t>(ZR_ERROR_NAME_MAX))
    zr_error_report(g_errorModule, kErrorNameTooLong);
  ErrorModule& slot = g_modules[g_moduleCount];
  std::snprintf(slot.name, sizeof slot.name, "%s", name);
  slot.messages = messages;
  slot.reportSwitch = report_switch;
  return g_moduleCount++;
}

void zr_error_report(int module, int code) {
  g_lastModule = module;
  g_lastCode = code;
  if (!valid_module(module)) return;
  const int32_t* reportSwitch = g_modules[module].reportSwitch;
  if (reportSwitch != nullptr && *reportSwitch != 0) zr_error_show();
}

void zr_error_show() {
  // Room for the longest name, message and detail together, so that nothing is cut off.
  char text[ZR_ERROR_NAME_MAX + 2 * ZR_ERROR_DETAIL_SIZE + 32];
  const char* name = "";
  const char* message = "";
  if (valid_module(g_lastModule)) {
    name = g_modules[g_lastModule].name;
    if (g_modules[g_lastModule].messages != nullptr && g_lastCode >= 0)
      message = g_modules[g_lastModule].messages[g_lastCode];
  }
  std::snprintf(text, sizeof text, "In module %s \n\n %s\n\n%s", name, message, g_detail);
  zr_message_box(text, "Alert", MB_ICONEXCLAMATION);
  g_detail[0] = '\0';
}

void zr_error_alert(const char* text) {
  zr_message_box(text != nullptr ? text : "", "Alert", MB_ICONEXCLAMATION);
}

int zr_error_deinit() {
  return 1;
}

char* zr_error_detail() {
  return g_detail;
}

void zr_error_set_detail(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::vsnprintf(g_detail, sizeof g_detail, format, args);
  va_end(args);
}

int zr_error_last_module() {
  return g_lastModule;
}
int zr_error_last_code() {
  return g_lastCode;
}

const char* zr_error_module_name(int module) {
  return valid_module(module) ? g_modules[module].name : nullptr;
}
