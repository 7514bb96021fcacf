// Where the pack archive's failure messages go.
//
// The archive reports every failure itself through ShowMessage, with a fixed
// English text, and callers add no message of their own. The program decides
// how a message is shown by installing its own sink:
//
//   - the window program: the application message box (one OK button, no
//     icon, caption = the executable's file name without its extension);
//   - the command-line tool: one line on stderr (also the default sink);
//   - tests: a recorder of the texts, in order.
//
// A sink is an object derived from MessageSink, installed for the whole
// process with SetMessageSink. For example, in the window program:
//
//   class MessageBoxSink final : public vpk::MessageSink {
//   public:
//       void Show(const char* text) override { ShowAppMessageBox(text); }
//   };
//   static MessageBoxSink messageBoxSink;
//   vpk::SetMessageSink(&messageBoxSink);   // once, at start-up
//
// An archive runs on one thread, and so does its sink: a sink needs no
// locking of its own. Installing a sink is atomic, but sinks are installed
// before threads that show messages start (see HeldMessages.h).
#pragma once

namespace vpk {

class MessageSink {
public:
    virtual ~MessageSink() = default;
    // Shows one message and returns once it has been seen (a modal box
    // returns after it is dismissed); the archive goes on only then.
    virtual void Show(const char* text) = 0;
};

// Installs the process-wide sink; nullptr restores the default one, which
// writes each message as one line on stderr. The sink is not owned and must
// outlive its installation.
void SetMessageSink(MessageSink* sink);
MessageSink& GetMessageSink();

inline void ShowMessage(const char* text)
{
    GetMessageSink().Show(text);
}

}  // namespace vpk
