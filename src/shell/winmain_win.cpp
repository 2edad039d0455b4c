// The program's entry: start the window, open the picture the command line
// names, run the loop until it quits.
#include "shell/shell_state_win.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int showCommand) {
    HACCEL accelerators = nullptr;
    HWND window = velda::StartMainWindow(instance, showCommand, &accelerators);
    if (window == nullptr) return 0;
    velda::OpenStartupPicture(window, commandLine);
    return velda::RunMessageLoop(window, accelerators);
}
