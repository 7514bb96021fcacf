// Keeping a thread's archive messages instead of showing them.
//
// For its lifetime, a HeldMessages keeps the archive messages of the thread
// that made it in `texts`; other threads' messages go on to the installed
// sink as before. A worker thread extracting entries holds its messages and
// hands them to the thread that shows them, in its own time and order.
//
// The holding sink is put in front of the installed one when the first
// holder (or HoldingInstalled) appears and taken away with the last. A
// thread that starts workers makes a HoldingInstalled first and drops it
// after they have ended, so the installed sink never changes while they run.
#pragma once

#include <string>
#include <vector>

namespace vpk {

class HoldingInstalled {
public:
    HoldingInstalled();
    ~HoldingInstalled();
    HoldingInstalled(const HoldingInstalled&) = delete;
    HoldingInstalled& operator=(const HoldingInstalled&) = delete;
};

class HeldMessages {
public:
    HeldMessages();
    ~HeldMessages();
    HeldMessages(const HeldMessages&) = delete;
    HeldMessages& operator=(const HeldMessages&) = delete;

    std::vector<std::string> texts;

private:
    HoldingInstalled installed;
    std::vector<std::string>* previous;
};

}  // namespace vpk
