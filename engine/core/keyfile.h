// Keyed text files: "[Section]" header lines and "Key=Value" lines, read value by value through
// the file layer and rewritten whole through a temporary file that replaces the old one.
#pragma once
#include <cstdint>

constexpr int ZR_KEYFILE_LINE_MAX = 254;

int zr_io_get_string(const char* section, const char* key, char* buffer, int size,
                     const char* file);
int zr_io_get_int(const char* section, const char* key, int32_t* value, const char* file);
int zr_io_get_float(const char* section, const char* key, float* value, const char* file);
int zr_io_put_string(const char* section, const char* key, const char* value, const char* file);
int zr_io_put_int(const char* section, const char* key, int32_t value, const char* file);
int zr_io_put_float(const char* section, const char* key, float value, const char* file);
int zr_io_replace_string(const char* section, const char* key, const char* value, const char* file);
const char* zr_io_settings_path();
