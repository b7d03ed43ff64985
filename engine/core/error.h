// Error reporting: modules register a name and a message table; failures are recorded by code and
// shown ("In module %s \n\n %s\n\n%s", caption "Alert") only when the module's report switch is on.
#pragma once
#include <cstdint>

constexpr int ZR_ERROR_MAX_MODULES = 100;
constexpr int ZR_ERROR_NAME_MAX = 40;
constexpr int ZR_ERROR_DETAIL_SIZE = 256;

int zr_error_init(int32_t* report_switch);
// Returns the module number, or -1 when the registry is full.
int zr_error_add_module(const char* name, const char* const* messages, int32_t* report_switch);
// Records the last error; shows it when the module's switch is non-zero. Write the detail first.
void zr_error_report(int module, int code);
// Shows the last error whatever the switch says, then empties the detail text.
void zr_error_show();
// Shows a free text captioned "Alert" with the exclamation style.
void zr_error_alert(const char* text);
int zr_error_deinit();

// The shared detail text (256 characters) for the next recorded error.
char* zr_error_detail();
void zr_error_set_detail(const char* format, ...) __attribute__((format(printf, 1, 2)));

// The last recorded error, for callers and tests.
int zr_error_last_module();
int zr_error_last_code();
// The registered name of a module, or nullptr.
const char* zr_error_module_name(int module);
