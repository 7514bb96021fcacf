#include "vpk/MessageSink.h"

#include <atomic>
#include <cstdio>

namespace vpk {
namespace {

class StderrSink final : public MessageSink {
public:
    void Show(const char* text) override
    {
        std::fputs(text, stderr);
        std::fputc('\n', stderr);
    }
};

StderrSink defaultSink;
// Atomic: a worker thread may show a message while another thread puts a
// holding sink in front (see HeldMessages.h).
std::atomic<MessageSink*> currentSink{&defaultSink};

}  // namespace

void SetMessageSink(MessageSink* sink)
{
    currentSink = sink != nullptr ? sink : &defaultSink;
}

MessageSink& GetMessageSink()
{
    return *currentSink.load();
}

}  // namespace vpk
