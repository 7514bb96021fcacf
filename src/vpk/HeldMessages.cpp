#include "vpk/HeldMessages.h"

#include "vpk/MessageSink.h"

#include <mutex>

namespace vpk {
namespace {

thread_local std::vector<std::string>* heldHere = nullptr;

// Sends each message to the list of the thread showing it, if that thread
// holds its messages, else on to the sink installed before.
class HoldingSink final : public MessageSink {
public:
    void Show(const char* text) override
    {
        if (heldHere != nullptr)
            heldHere->emplace_back(text);
        else
            next->Show(text);
    }

    // Users are counted so nested and concurrent holders share one
    // installation.
    void Enter()
    {
        const std::lock_guard<std::mutex> hold(lock);
        if (users++ == 0) {
            next = &GetMessageSink();
            SetMessageSink(this);
        }
    }
    void Leave()
    {
        const std::lock_guard<std::mutex> hold(lock);
        if (--users == 0)
            SetMessageSink(next);
    }

private:
    std::mutex lock;
    int users = 0;
    MessageSink* next = nullptr;
};

HoldingSink holdingSink;

}  // namespace

HoldingInstalled::HoldingInstalled()
{
    holdingSink.Enter();
}

HoldingInstalled::~HoldingInstalled()
{
    holdingSink.Leave();
}

HeldMessages::HeldMessages() : previous(heldHere)
{
    heldHere = &texts;
}

HeldMessages::~HeldMessages()
{
    heldHere = previous;
}

}  // namespace vpk
