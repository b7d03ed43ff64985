// Heap strings in tracked memory whose capacity is their length when created.
#pragma once
#include <cstdint>

int zr_string_init(int32_t* report_switch);
int zr_string_deinit();
int zr_string_create(char** string, const char* text, int room);
int zr_string_destroy(char* string);
int zr_string_set(char* string, const char* text);
int zr_string_length(const char* string);
int zr_string_append(char* string, const char* text);
int zr_string_find(const char* string, const char* text);  // position, or -1
int zr_string_upper(char* string);
int zr_string_lower(char* string);
int zr_string_trim(char* string);
int zr_string_compare(const char* string, const char* text);
int zr_string_from_number(char* buffer, short value);
int zr_string_from_number(char* buffer, unsigned short value);
int zr_string_from_number(char* buffer, int value);
int zr_string_from_number(char* buffer, unsigned value);
int zr_string_from_number(char* buffer, long value);
int zr_string_from_number(char* buffer, unsigned long value);
int zr_string_from_number(char* buffer, float value);
int zr_string_from_number(char* buffer, double value);
int zr_string_from_number(char* buffer, char value);
int zr_string_print(const char* text);
int zr_string_println(const char* text);
