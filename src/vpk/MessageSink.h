// Where the pack archive's failure messages go. The archive reports every
// failure itself through ShowMessage; the program decides how it is shown
// (a message box in the window program, a line on stderr in the command-line
// tool, a recorder in tests) by installing its own sink.
#pragma once

namespace vpk {

class MessageSink {
public:
    virtual ~MessageSink() = default;
    // Shows one message and returns once it has been seen (a modal box
    // returns after it is dismissed).
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
