#include "vpk/MessageSink.h"

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
MessageSink* currentSink = &defaultSink;

}  // namespace

void SetMessageSink(MessageSink* sink)
{
    currentSink = sink != nullptr ? sink : &defaultSink;
}

MessageSink& GetMessageSink()
{
    return *currentSink;
}

}  // namespace vpk
