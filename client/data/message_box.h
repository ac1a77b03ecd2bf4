#pragma once
// The client's message box, over the platform's.
#include <string>

// Shows a modal box (OK, no owner); with `fatal` the process then exits with code 1.
void ShowMessageBox(const std::string& text, const std::string& caption, bool fatal);
