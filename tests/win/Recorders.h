// Recorders for the window layer's seams: each installs itself while it
// lives, notes every call and returns scripted answers. For any GUI test of
// the program that would otherwise show a message box, an open-file dialog,
// a folder chooser or a pop-up menu, or hand a target to the shell.
#pragma once

#include <cstring>
#include <deque>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "win/FileDialog.h"
#include "win/Menu.h"
#include "win/MessageBox.h"
#include "win/Shell.h"

namespace wintest {

// What every recorder shares: installed on its seam while it lives (the
// previous one restored after), it notes each call in `calls` and answers
// from `answers` in order; once they run out each call gets the recorder's
// fallback answer (IDOK, Cancel, a dismissed menu) and is counted in
// `unscripted`.
template <class Seam, class Record, class Answer, Seam* (*Install)(Seam*)>
class Recorder : public Seam {
public:
    Recorder() : previous_(Install(this)) {}
    ~Recorder() { Install(previous_); }
    Recorder(const Recorder&) = delete;
    Recorder& operator=(const Recorder&) = delete;

    void Script(std::initializer_list<Answer> next) { answers.insert(answers.end(), next); }

    std::vector<Record> calls;
    std::deque<Answer> answers;
    int unscripted = 0;

protected:
    Answer Next(Record record, Answer fallback) {
        calls.push_back(std::move(record));
        if (answers.empty()) {
            ++unscripted;
            return fallback;
        }
        Answer answer = std::move(answers.front());
        answers.pop_front();
        return answer;
    }

private:
    Seam* previous_;
};

inline std::optional<std::string> Copy(const char* s) {
    return s != nullptr ? std::optional<std::string>(s) : std::nullopt;
}

struct MessageBoxRecord {
    HWND owner;
    std::string text;
    std::string caption;
    UINT type;
};

// Answers: the buttons pressed (IDYES, IDNO, ...); IDOK once they run out.
class MessageBoxRecorder
    : public Recorder<win::MessageBoxSeam, MessageBoxRecord, int, &win::SetMessageBoxSeam> {
public:
    int Show(const win::MessageBoxCall& call) override {
        return Next({call.owner, call.text, call.caption, call.type}, IDOK);
    }
};

struct OpenFileRecord {
    HWND owner;
    std::vector<std::string> filter;  // display text, pattern, display text, ...
    std::string initialFile;          // lpstrFile's content when the dialog opened
    std::string defaultExtension;
    std::string initialDirectory;
    std::string title;
    DWORD flags;
    DWORD maxFile;
};

// Answers: a chosen path, or nullopt for Cancel. Like the real dialog, a path
// that does not fit the buffer fails. The open-file and save-file dialogs
// take the same request.
template <class Seam, Seam* (*Install)(Seam*)>
class FileDialogRecorder : public Recorder<Seam, OpenFileRecord, std::optional<std::string>, Install> {
public:
    bool Show(OPENFILENAMEA& request) override {
        OpenFileRecord record{request.hwndOwner, {}, {}, {}, {}, {}, request.Flags, request.nMaxFile};
        for (const char* p = request.lpstrFilter; p != nullptr && *p != '\0'; p += std::strlen(p) + 1)
            record.filter.emplace_back(p);
        record.initialFile = Copy(request.lpstrFile).value_or("");
        record.defaultExtension = Copy(request.lpstrDefExt).value_or("");
        record.initialDirectory = Copy(request.lpstrInitialDir).value_or("");
        record.title = Copy(request.lpstrTitle).value_or("");
        const std::optional<std::string> answer = this->Next(std::move(record), std::nullopt);
        if (!answer || request.lpstrFile == nullptr || answer->size() + 1 > request.nMaxFile) return false;
        std::memcpy(request.lpstrFile, answer->c_str(), answer->size() + 1);
        size_t slash = answer->find_last_of("\\/");
        size_t name = slash == std::string::npos ? 0 : slash + 1;
        size_t dot = answer->find_last_of('.');
        request.nFileOffset = static_cast<WORD>(name);
        request.nFileExtension = static_cast<WORD>(dot == std::string::npos || dot < name ? answer->size() : dot + 1);
        return true;
    }
};

using OpenFileDialogRecorder = FileDialogRecorder<win::OpenFileDialogSeam, &win::SetOpenFileDialogSeam>;
using SaveFileDialogRecorder = FileDialogRecorder<win::SaveFileDialogSeam, &win::SetSaveFileDialogSeam>;

struct FolderDialogRecord {
    HWND owner;
    std::string title;
    std::string startFolder;
};

// Answers: a folder, or nullopt for Cancel.
class FolderDialogRecorder : public Recorder<win::FolderDialogSeam, FolderDialogRecord, std::optional<std::string>,
                                             &win::SetFolderDialogSeam> {
public:
    bool Show(HWND owner, const char* title, std::string& folder) override {
        const std::optional<std::string> answer = Next({owner, Copy(title).value_or(""), folder}, std::nullopt);
        if (answer) folder = *answer;
        return answer.has_value();
    }
};

struct ShellRecord {
    HWND owner;
    std::optional<std::string> verb;
    std::optional<std::string> file;
    std::optional<std::string> parameters;
    std::optional<std::string> directory;
    int show;
};

// Answers: what ShellExecute returns; 42 (above 32 is success) once they run out.
class ShellRecorder : public Recorder<win::ShellSeam, ShellRecord, INT_PTR, &win::SetShellSeam> {
public:
    INT_PTR Execute(const win::ShellCall& call) override {
        return Next({call.owner, Copy(call.verb), Copy(call.file), Copy(call.parameters), Copy(call.directory),
                     call.show},
                    42);
    }
};

struct PopupMenuItem {
    std::string text;
    UINT id;
    bool grayed;
    bool isDefault;  // drawn bold: what a double-click does
};

struct PopupMenuRecord {
    std::vector<PopupMenuItem> items;  // the menu's items as they were when it opened
    UINT flags;
    int x;
    int y;
    HWND owner;
};

// Answers: the command chosen; 0 (dismissed) once they run out.
class PopupMenuRecorder : public Recorder<win::PopupMenuSeam, PopupMenuRecord, int, &win::SetPopupMenuSeam> {
public:
    int Track(const win::PopupMenuCall& call) override {
        PopupMenuRecord record{{}, call.flags, call.x, call.y, call.owner};
        const int count = ::GetMenuItemCount(call.menu);
        for (int i = 0; i < count; ++i) {
            char text[256] = {};
            ::GetMenuStringA(call.menu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
            UINT state = ::GetMenuState(call.menu, static_cast<UINT>(i), MF_BYPOSITION);
            const UINT id = ::GetMenuItemID(call.menu, i);
            record.items.push_back({text, id, (state & (MF_GRAYED | MF_DISABLED)) != 0,
                                    id != 0 && ::GetMenuDefaultItem(call.menu, FALSE, 0) == id});
        }
        return Next(std::move(record), 0);
    }
};

}  // namespace wintest
