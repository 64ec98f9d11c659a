// The program's entry: sets up the screen's presenter, runs the application object's
// InitInstance on this thread (the user-interface thread), and waits for worker threads.
#pragma once

int AfxWinMain(int argc, char* argv[]);
