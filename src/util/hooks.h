// Seams through which the Qt-free utilities reach the user interface and the desktop. The
// platform layer installs the real functions at start-up; until then (and in tests) each does
// nothing and reports failure where it has a result.
#pragma once

#include <functional>
#include <string>

namespace util {

// Opens a file with the program the desktop registers for it; the folder is its working folder.
using OpenFileHook = std::function<bool(const std::string& file, const std::string& folder)>;
// Shows an information message box with one OK button.
using MessageHook = std::function<void(const std::string& text, const std::string& title)>;
// Lets pending user-interface events run once.
using EventsHook = std::function<void()>;

void setOpenFileHook(OpenFileHook hook);
void setMessageHook(MessageHook hook);
void setEventsHook(EventsHook hook);

bool openFile(const std::string& file, const std::string& folder);
void showMessage(const std::string& text, const std::string& title);
void processEvents();

}  // namespace util
