// The main window's procedure: what the window does with the messages that the application's
// handler passes on (activation, painting, closing).
#pragma once
#include <cstdint>

intptr_t WindowProcedure(uint32_t message, uintptr_t wParam, intptr_t lParam);
