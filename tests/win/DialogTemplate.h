// Builds dialog templates in memory, so GUI tests need no resource script.
//
//     DialogTemplate t("Title", WS_POPUP | WS_CAPTION, 0, 0, 200, 100);
//     t.Add("STATIC", "Hello", 100, WS_CHILD | WS_VISIBLE, 10, 10, 80, 10);
//     win::Dialog dialog(t.Get());
//
// Positions and sizes are in dialog units, as in a resource script. The
// template always carries a font (DS_SETFONT), 8-point "MS Sans Serif" unless
// another is given.
#pragma once

#include <cstring>
#include <string>
#include <vector>

#include "win/Win32.h"

namespace wintest {

class DialogTemplate {
public:
    DialogTemplate(const char* title, DWORD style, short x, short y, short cx, short cy,
                   const char* font = "MS Sans Serif", WORD pointSize = 8) {
        Dword(style | DS_SETFONT);
        Dword(0);  // extended style
        countIndex_ = words_.size();
        words_.push_back(0);  // item count, filled in by Get
        words_.push_back(static_cast<WORD>(x));
        words_.push_back(static_cast<WORD>(y));
        words_.push_back(static_cast<WORD>(cx));
        words_.push_back(static_cast<WORD>(cy));
        words_.push_back(0);  // no menu
        words_.push_back(0);  // the standard dialog class
        String(title);
        words_.push_back(pointSize);
        String(font);
    }

    DialogTemplate& Add(const char* className, const char* text, WORD id, DWORD style, short x, short y,
                        short cx, short cy, DWORD exStyle = 0) {
        if (words_.size() % 2 != 0) words_.push_back(0);  // items start on a DWORD boundary
        Dword(style);
        Dword(exStyle);
        words_.push_back(static_cast<WORD>(x));
        words_.push_back(static_cast<WORD>(y));
        words_.push_back(static_cast<WORD>(cx));
        words_.push_back(static_cast<WORD>(cy));
        words_.push_back(id);
        String(className);
        String(text);
        words_.push_back(0);  // no creation data
        ++items_;
        return *this;
    }

    const DLGTEMPLATE* Get() {
        words_[countIndex_] = items_;
        return reinterpret_cast<const DLGTEMPLATE*>(words_.data());
    }

private:
    void Dword(DWORD value) {
        words_.push_back(LOWORD(value));
        words_.push_back(HIWORD(value));
    }
    // Templates hold UTF-16 strings even for the ANSI functions; tests use ASCII.
    void String(const char* text) {
        for (const char* p = text; *p != '\0'; ++p) words_.push_back(static_cast<unsigned char>(*p));
        words_.push_back(0);
    }

    std::vector<WORD> words_;
    size_t countIndex_ = 0;
    WORD items_ = 0;
};

}  // namespace wintest
