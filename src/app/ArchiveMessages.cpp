#include "app/ArchiveMessages.h"

#include "vpk/MessageSink.h"
#include "win/MessageBox.h"

namespace app {
namespace {

class MessageBoxSink final : public vpk::MessageSink {
public:
    void Show(const char* text) override { win::MessageBox(text, MB_OK); }
};

MessageBoxSink messageBoxSink;

}  // namespace

void ShowArchiveMessagesInMessageBoxes() {
    vpk::SetMessageSink(&messageBoxSink);
}

}  // namespace app
