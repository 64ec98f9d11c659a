// What a user does to the Windows presenter's windows, and what a user sees on them, for the
// tests under Wine. Plain types: <windows.h> stays in screen.cpp (the framework's names clash with
// it). Input is posted to the windows' thread, as the system queues a user's input.
#pragma once

#include <string>
#include <vector>

namespace screen {

using Window = void*;

// The presenter's shown dialog with the caption; null if none.
Window Dialog(const std::string& caption);
Window Item(Window dialog, int id);
std::string Text(Window window);
bool Enabled(Window window);

void Click(Window button);
// Keys into the window: '^' is Home, '\n' Enter, '\x1b' Esc, 'v' the down arrow in a list,
// '*' selects all of an edit's text, anything else is the character typed.
void Type(Window window, const std::string& keys);
void Focus(Window window);     // on the windows' thread, as a click would
void CloseBox(Window window);  // the caption's close box

struct Box {
    Window window = nullptr;
    std::string caption;
    std::string text;
    bool icon = false;
};
std::vector<Box> Boxes();  // the message boxes on screen

}  // namespace screen
