// The window an extraction below a chosen folder shows while it runs
// (dialog 160): "Extracting N of M entries", a bar in the skin's colours and
// Cancel. It only shows what it is told; Cancel (the button, Escape or
// Alt+F4) calls back once and says the run is stopping.
#pragma once

#include <cstddef>
#include <functional>

#include "win/Dialog.h"

namespace viewer {

class ExtractProgressDialog : public win::Dialog {
public:
    explicit ExtractProgressDialog(std::function<void()> onCancel);

    void SetProgress(std::size_t done, std::size_t total);
    // The share of the bar that is filled, in pixels of its width.
    int FilledWidth() const;

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    BOOL OnInitDialog() override;

private:
    void OnCancel();
    LRESULT OnDrawItem(const DRAWITEMSTRUCT& item);

    std::function<void()> cancel;
    std::size_t done = 0;
    std::size_t total = 0;
    bool cancelling = false;
};

}  // namespace viewer
