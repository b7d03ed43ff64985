// The splash screen: a picture with one line of text in a borderless window while the program
// starts, described by a section of DATA\TEXTS.TXT (Bitmap, Text, PosX, PosY, ColorR, ColorG,
// ColorB).
#pragma once

// 1 when the splash is shown (headless: read and kept, shown nowhere); 0 without Bitmap or when
// the picture does not load. A splash already open is closed first.
int zr_splash_open(const char* section, const char* file);
void zr_splash_close();
bool zr_splash_is_open();
// The text of the splash in force (ISO-8859-1), or "".
const char* zr_splash_text();
