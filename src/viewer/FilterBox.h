// FilterBox: a one-line text box in the skin (black field, the lists' text
// colour, a thin frame in the caption strips' red), bound to an edit control
// of a dialog. The viewer's filter above its entry list; Escape in it
// empties it (the parent sees EN_CHANGE as for any edit).
#pragma once

#include <optional>

#include "win/Window.h"

namespace viewer {

class FilterBox : public win::Window {
protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    std::optional<LRESULT> HandleReflectedMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    LRESULT OnNcPaint();
};

}  // namespace viewer
