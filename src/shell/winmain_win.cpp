// The program's entry: start the window, open the picture the command line
// names, run the loop until it quits. wWinMain (-municode) gives the
// command line in UTF-16, every name whole whatever the ANSI code page
// holds.
#include "platform/unicode_win.h"
#include "shell/shell_state_win.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int showCommand) {
    HACCEL accelerators = nullptr;
    HWND window = velda::StartMainWindow(instance, showCommand, &accelerators);
    if (window == nullptr) return 0;
    velda::OpenStartupPicture(window, velda::Narrow(commandLine).c_str());
    return velda::RunMessageLoop(window, accelerators);
}
