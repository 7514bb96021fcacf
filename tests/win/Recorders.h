// Recorders for the window layer's seams: each installs itself while it
// lives, notes every call and returns scripted answers. For any GUI test of
// the program that would otherwise show a message box, an open-file dialog,
// a folder chooser or a pop-up menu, or hand a target to the shell.
#pragma once

#include <cstring>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "win/FileDialog.h"
#include "win/Menu.h"
#include "win/MessageBox.h"
#include "win/Shell.h"

namespace wintest {

struct MessageBoxRecord {
    HWND owner;
    std::string text;
    std::string caption;
    UINT type;
};

class MessageBoxRecorder : public win::MessageBoxSeam {
public:
    MessageBoxRecorder() : previous_(win::SetMessageBoxSeam(this)) {}
    ~MessageBoxRecorder() override { win::SetMessageBoxSeam(previous_); }
    MessageBoxRecorder(const MessageBoxRecorder&) = delete;
    MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;

    // Answers for the next boxes, in order (IDYES, IDNO, ...). Once they run
    // out every box is answered IDOK and counted in `unscripted`.
    void Script(std::initializer_list<int> buttons) { answers.insert(answers.end(), buttons); }

    int Show(const win::MessageBoxCall& call) override {
        calls.push_back({call.owner, call.text, call.caption, call.type});
        if (answers.empty()) {
            ++unscripted;
            return IDOK;
        }
        int answer = answers.front();
        answers.pop_front();
        return answer;
    }

    std::vector<MessageBoxRecord> calls;
    std::deque<int> answers;
    int unscripted = 0;

private:
    win::MessageBoxSeam* previous_;
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

class OpenFileDialogRecorder : public win::OpenFileDialogSeam {
public:
    OpenFileDialogRecorder() : previous_(win::SetOpenFileDialogSeam(this)) {}
    ~OpenFileDialogRecorder() override { win::SetOpenFileDialogSeam(previous_); }
    OpenFileDialogRecorder(const OpenFileDialogRecorder&) = delete;
    OpenFileDialogRecorder& operator=(const OpenFileDialogRecorder&) = delete;

    // The next dialogs' outcomes, in order: a chosen path, or nullopt for
    // Cancel. Unscripted dialogs are cancelled and counted in `unscripted`.
    void Script(std::initializer_list<std::optional<std::string>> outcomes) {
        answers.insert(answers.end(), outcomes);
    }

    bool Show(OPENFILENAMEA& request) override {
        OpenFileRecord record{request.hwndOwner, {}, {}, {}, {}, {}, request.Flags, request.nMaxFile};
        for (const char* p = request.lpstrFilter; p != nullptr && *p != '\0'; p += std::strlen(p) + 1) {
            record.filter.emplace_back(p);
        }
        if (request.lpstrFile != nullptr) record.initialFile = request.lpstrFile;
        if (request.lpstrDefExt != nullptr) record.defaultExtension = request.lpstrDefExt;
        if (request.lpstrInitialDir != nullptr) record.initialDirectory = request.lpstrInitialDir;
        if (request.lpstrTitle != nullptr) record.title = request.lpstrTitle;
        calls.push_back(record);

        if (answers.empty()) {
            ++unscripted;
            return false;
        }
        std::optional<std::string> answer = answers.front();
        answers.pop_front();
        // Like the real dialog, a path that does not fit the buffer fails.
        if (!answer || request.lpstrFile == nullptr || answer->size() + 1 > request.nMaxFile) return false;
        std::memcpy(request.lpstrFile, answer->c_str(), answer->size() + 1);
        size_t slash = answer->find_last_of("\\/");
        size_t name = slash == std::string::npos ? 0 : slash + 1;
        size_t dot = answer->find_last_of('.');
        request.nFileOffset = static_cast<WORD>(name);
        request.nFileExtension = static_cast<WORD>(dot == std::string::npos || dot < name ? answer->size() : dot + 1);
        return true;
    }

    std::vector<OpenFileRecord> calls;
    std::deque<std::optional<std::string>> answers;
    int unscripted = 0;

private:
    win::OpenFileDialogSeam* previous_;
};

struct FolderDialogRecord {
    HWND owner;
    std::string title;
    std::string startFolder;
};

class FolderDialogRecorder : public win::FolderDialogSeam {
public:
    FolderDialogRecorder() : previous_(win::SetFolderDialogSeam(this)) {}
    ~FolderDialogRecorder() override { win::SetFolderDialogSeam(previous_); }
    FolderDialogRecorder(const FolderDialogRecorder&) = delete;
    FolderDialogRecorder& operator=(const FolderDialogRecorder&) = delete;

    // The next choosers' outcomes, in order: a folder, or nullopt for Cancel.
    // Unscripted choosers are cancelled and counted in `unscripted`.
    void Script(std::initializer_list<std::optional<std::string>> outcomes) {
        answers.insert(answers.end(), outcomes);
    }

    bool Show(HWND owner, const char* title, std::string& folder) override {
        calls.push_back({owner, title != nullptr ? title : "", folder});
        if (answers.empty()) {
            ++unscripted;
            return false;
        }
        std::optional<std::string> answer = answers.front();
        answers.pop_front();
        if (!answer) return false;
        folder = *answer;
        return true;
    }

    std::vector<FolderDialogRecord> calls;
    std::deque<std::optional<std::string>> answers;
    int unscripted = 0;

private:
    win::FolderDialogSeam* previous_;
};

struct ShellRecord {
    HWND owner;
    std::optional<std::string> verb;
    std::optional<std::string> file;
    std::optional<std::string> parameters;
    std::optional<std::string> directory;
    int show;
};

class ShellRecorder : public win::ShellSeam {
public:
    ShellRecorder() : previous_(win::SetShellSeam(this)) {}
    ~ShellRecorder() override { win::SetShellSeam(previous_); }
    ShellRecorder(const ShellRecorder&) = delete;
    ShellRecorder& operator=(const ShellRecorder&) = delete;

    INT_PTR Execute(const win::ShellCall& call) override {
        auto copy = [](const char* s) { return s != nullptr ? std::optional<std::string>(s) : std::nullopt; };
        calls.push_back({call.owner, copy(call.verb), copy(call.file), copy(call.parameters),
                         copy(call.directory), call.show});
        return result;
    }

    std::vector<ShellRecord> calls;
    INT_PTR result = 42;  // what every request answers; above 32 is success

private:
    win::ShellSeam* previous_;
};

struct PopupMenuItem {
    std::string text;
    UINT id;
    bool grayed;
};

struct PopupMenuRecord {
    std::vector<PopupMenuItem> items;  // the menu's items as they were when it opened
    UINT flags;
    int x;
    int y;
    HWND owner;
};

class PopupMenuRecorder : public win::PopupMenuSeam {
public:
    PopupMenuRecorder() : previous_(win::SetPopupMenuSeam(this)) {}
    ~PopupMenuRecorder() override { win::SetPopupMenuSeam(previous_); }
    PopupMenuRecorder(const PopupMenuRecorder&) = delete;
    PopupMenuRecorder& operator=(const PopupMenuRecorder&) = delete;

    // The commands chosen in the next menus, in order; 0 dismisses a menu.
    // Unscripted menus are dismissed and counted in `unscripted`.
    void Script(std::initializer_list<int> commands) { answers.insert(answers.end(), commands); }

    int Track(const win::PopupMenuCall& call) override {
        PopupMenuRecord record{{}, call.flags, call.x, call.y, call.owner};
        int count = ::GetMenuItemCount(call.menu);
        for (int i = 0; i < count; ++i) {
            char text[256] = {};
            ::GetMenuStringA(call.menu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
            UINT state = ::GetMenuState(call.menu, static_cast<UINT>(i), MF_BYPOSITION);
            record.items.push_back({text, ::GetMenuItemID(call.menu, i), (state & (MF_GRAYED | MF_DISABLED)) != 0});
        }
        calls.push_back(record);
        if (answers.empty()) {
            ++unscripted;
            return 0;
        }
        int answer = answers.front();
        answers.pop_front();
        return answer;
    }

    std::vector<PopupMenuRecord> calls;
    std::deque<int> answers;
    int unscripted = 0;

private:
    win::PopupMenuSeam* previous_;
};

}  // namespace wintest
