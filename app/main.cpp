// ZephyrloomRescue.exe: recovers an Android phone's contacts and messages,
// deleted ones included. The command line is not read.

#include "app/Startup.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) { return app::RunProgram(); }
