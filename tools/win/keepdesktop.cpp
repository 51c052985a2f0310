// Holds a Wine prefix's desktop open while tests run on it. Wine closes a desktop a moment after
// the last program using it ends and starts it again for the next one; a test run starts a program
// for every test, so without a program that stays, each would pay for (and could race with) a
// desktop going away. Started by run.sh once per desktop; it ends when the prefix's server stops.
//
//   keepdesktop.exe [ready-file]    the file is created once the desktop is up
#include <windows.h>

#include <cstring>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
  // Asking for the desktop window waits until the desktop process has made it.
  if (!GetDesktopWindow()) return 1;
  if (commandLine && *commandLine) {
    char path[MAX_PATH];
    lstrcpynA(path, commandLine + (*commandLine == '"'), MAX_PATH);
    if (char* quote = strchr(path, '"')) *quote = 0;
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    CloseHandle(file);
  }
  for (;;) Sleep(INFINITE);
}
