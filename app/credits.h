// The credits: the lines that a gameplay demo shows one after another, from the credits file of
// the current language (section Credits: NoLines, Line_00 ...), and the line on show.
#pragma once
#include <cstdint>

constexpr int32_t MAX_CREDIT_LINES = 100;
constexpr int CREDIT_LINE_MAX = 79;
constexpr uint32_t CREDIT_LINE_TIME = 1400;  // ms each line shows during a demo

extern char* creditLines[MAX_CREDIT_LINES];
extern int32_t creditCount;
extern char creditShown[CREDIT_LINE_MAX + 1];
extern uint32_t creditUntil;  // tick count at which creditShown stops being drawn

// Frees the previous lines and reads the file's (at most 100). Returns the number read.
int32_t LoadCredits(const char* file);
void FreeCredits();
// Line n of the credits, counted cyclically (n = creditCount is line 0 again); "" without lines.
const char* CreditLine(int32_t n);
// Puts text on show until now + duration.
void ShowCreditLine(const char* text, uint32_t duration);
// The line on show, or null once its time is over (the status display draws it).
const char* CreditLineOnShow();
