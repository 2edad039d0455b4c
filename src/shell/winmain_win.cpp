// The program's entry: start the window, run the loop until it quits.
#include "shell/shell_state_win.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    HACCEL accelerators = nullptr;
    HWND window = velda::StartMainWindow(instance, showCommand, &accelerators);
    if (window == nullptr) return 0;
    return velda::RunMessageLoop(window, accelerators);
}
