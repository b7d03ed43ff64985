// The message table: the numbered texts that the game shows on its own screen, each with an
// optional format (filled with the level or the lives), a rectangle of the 320 x 200 screen and a
// drawing style, loaded from the current language's messages file.
#pragma once
#include <cstdint>

#include "engine/display/bitmap.h"

// Room of a message's text; a formatted message is written into it.
constexpr int MESSAGE_TEXT_SIZE = 260;
// A table holds at most this many messages (the keys run Message_01 to Message_999).
constexpr int MESSAGE_COUNT_MAX = 999;
// Messages formatted with a number when they are drawn.
constexpr int MESSAGE_LEVEL = 17;
constexpr int MESSAGE_LIVES = 18;

struct Message {
  char text[MESSAGE_TEXT_SIZE];
  char* format;   // null: drawn as its text
  ZR_RECT rect;   // registered with the display, so it follows the frame buffer's size
  uint8_t style;  // the text drawing's flags: 12 stretched proportional, or 4 stretched
};

struct MessageTable {
  int32_t count;
  Message** messages;  // count entries; null where a message is missing
};

// Loads a messages file; null when it does not exist or has no NbMessages. A message whose
// section is not named is reported in the warning box and left out.
MessageTable* LoadMessages(const char* file);
// Frees the table and takes its rectangles off the display; null does nothing.
void FreeMessages(MessageTable* table);
// Draws message n (17 with the level, 18 with the lives when it has a format) with the main font
// into the frame buffer. Nothing for a missing table, message or text.
void DrawMessage(MessageTable* table, int n);

// The current language's message table (null when none loaded).
extern MessageTable* messageTable;
// The abbreviation of the current language. Until the language list exists it is "EN".
const char* CurrentLanguageAbbreviation();
// Loads the current language's messages named by "Messages_<abbreviation>" of section Messages in
// DATA\TEXTS.TXT into messageTable, replacing the table there was.
void LoadLanguageMessages();
// Shut-down: frees messageTable.
void FreeLanguageMessages();
