// The warning box: a blocking native message box (MB_SYSTEMMODAL is always added). In headless mode
// the text goes as "%s: %s" (caption, or "Error" when none) to Warning.txt in the log folder (the
// current directory until one is set) and to standard error, and the box is answered at once with
// its default button. The same happens before the platform is started (tools, tests) and when no
// box can be shown.
#pragma once
#include <cstdint>

constexpr uint32_t MB_OK = 0x00;
constexpr uint32_t MB_OKCANCEL = 0x01;
constexpr uint32_t MB_YESNO = 0x04;
constexpr uint32_t MB_ICONHAND = 0x10;
constexpr uint32_t MB_ICONQUESTION = 0x20;
constexpr uint32_t MB_ICONEXCLAMATION = 0x30;
constexpr uint32_t MB_ICONASTERISK = 0x40;
constexpr uint32_t MB_SYSTEMMODAL = 0x1000;

constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

int zr_message_box(const char* text, const char* caption, uint32_t type);

// Steps around the box that belong to other modules (leaving full screen, releasing the input
// devices, marking the application inactive) are hooked in by them: before() runs first, after()
// once the box is closed.
using ZR_MESSAGE_BOX_STEP = void (*)();
void zr_message_box_set_steps(ZR_MESSAGE_BOX_STEP before, ZR_MESSAGE_BOX_STEP after);

// Tests replace the box: the hook gets every box and answers it.
using ZR_MESSAGE_BOX_HOOK = int (*)(const char* text, const char* caption, uint32_t type);
void zr_message_box_set_hook(ZR_MESSAGE_BOX_HOOK hook);

// The folder of Warning.txt (the file layer sets the player's folder); nullptr or "" for the
// current directory.
void zr_message_box_set_log_folder(const char* folder);
