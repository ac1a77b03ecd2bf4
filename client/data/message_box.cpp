#include "client/data/message_box.h"

#include "platform/process_exit.h"
#include "platform/window_backend.h"

void ShowMessageBox(const std::string& text, const std::string& caption, bool fatal) {
    platform::Backend().ShowMessage(
        text, caption, fatal ? platform::MessageIcon::kError : platform::MessageIcon::kNone);
    if (fatal) platform::ExitProcess(1);
}
