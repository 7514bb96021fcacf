// The game's registry value in the test prefix, in the 32-bit view where the
// game's installer writes it (what `reg add ... /reg:32` writes): set or removed per test, and
// put back as it was afterwards (make run records the demo installation there).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/InstallLocation.h"
#include "app/TessaroApp.h"
#include "win/DialogColors.h"
#include "win/Pump.h"
#include "win/Recorders.h"

namespace apptest {

struct RegistryValue {
    DWORD type = REG_SZ;
    std::vector<BYTE> bytes;

    static RegistryValue Text(const std::string& text) {
        RegistryValue value;
        value.bytes.assign(text.begin(), text.end());
        value.bytes.push_back(0);
        return value;
    }
};

class GameRegistry {
public:
    GameRegistry() : saved_(Read()) {}
    ~GameRegistry() { Write(saved_); }
    GameRegistry(const GameRegistry&) = delete;
    GameRegistry& operator=(const GameRegistry&) = delete;

    // nullopt removes the value (the key stays; an empty key counts as missing too).
    static void Write(const std::optional<RegistryValue>& value) {
        HKEY key = nullptr;
        if (::RegCreateKeyExA(HKEY_LOCAL_MACHINE, app::kGameRegistryKey, 0, nullptr, 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY,
                              nullptr, &key, nullptr) != ERROR_SUCCESS) {
            return;
        }
        if (value) {
            ::RegSetValueExA(key, app::kInstallPathValue, 0, value->type, value->bytes.data(),
                             static_cast<DWORD>(value->bytes.size()));
        } else {
            ::RegDeleteValueA(key, app::kInstallPathValue);
        }
        ::RegCloseKey(key);
    }

    static void RemoveKey() { ::RegDeleteKeyExA(HKEY_LOCAL_MACHINE, app::kGameRegistryKey, KEY_WOW64_32KEY, 0); }

private:
    static std::optional<RegistryValue> Read() {
        HKEY key = nullptr;
        if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, app::kGameRegistryKey, 0, KEY_READ | KEY_WOW64_32KEY, &key) != ERROR_SUCCESS) {
            return std::nullopt;
        }
        RegistryValue value;
        DWORD size = 0;
        std::optional<RegistryValue> result;
        if (::RegQueryValueExA(key, app::kInstallPathValue, nullptr, &value.type, nullptr, &size) == ERROR_SUCCESS) {
            value.bytes.resize(size);
            if (::RegQueryValueExA(key, app::kInstallPathValue, nullptr, &value.type, value.bytes.data(), &size) ==
                ERROR_SUCCESS) {
                value.bytes.resize(size);
                result = value;
            }
        }
        ::RegCloseKey(key);
        return result;
    }

    std::optional<RegistryValue> saved_;
};

// A fresh folder under the temporary folder, removed (when empty) afterwards.
class TempInstallation {
public:
    TempInstallation() {
        char temp[MAX_PATH] = {};
        ::GetTempPathA(MAX_PATH, temp);
        path_ = std::string(temp) + "tessaro-install-" + std::to_string(::GetCurrentProcessId());
        ::CreateDirectoryA(path_.c_str(), nullptr);
        ::CreateDirectoryA((path_ + "\\Vampire").c_str(), nullptr);
    }
    ~TempInstallation() {
        ::RemoveDirectoryA((path_ + "\\Vampire").c_str());
        ::RemoveDirectoryA(path_.c_str());
    }
    TempInstallation(const TempInstallation&) = delete;
    TempInstallation& operator=(const TempInstallation&) = delete;

    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

// The process's current directory, put back afterwards.
class SavedCurrentDirectory {
public:
    SavedCurrentDirectory() : saved_(Get()) {}
    ~SavedCurrentDirectory() { ::SetCurrentDirectoryA(saved_.c_str()); }
    SavedCurrentDirectory(const SavedCurrentDirectory&) = delete;
    SavedCurrentDirectory& operator=(const SavedCurrentDirectory&) = delete;

    static std::string Get() {
        char buffer[MAX_PATH] = {};
        ::GetCurrentDirectoryA(MAX_PATH, buffer);
        return buffer;
    }

private:
    std::string saved_;
};

// Where a main window runs in a test: the application prepared, the game's
// registry value naming a fresh installation, message boxes recorded; the
// registry, the current directory and the dialog colours put back afterwards.
struct RegisteredInstallation {
    RegisteredInstallation() {
        app::TessaroApp::Prepare();
        GameRegistry::Write(RegistryValue::Text(install.Path()));
    }
    ~RegisteredInstallation() { win::ClearDialogColors(); }
    RegisteredInstallation(const RegisteredInstallation&) = delete;
    RegisteredInstallation& operator=(const RegisteredInstallation&) = delete;

    GameRegistry registry;
    SavedCurrentDirectory cwd;
    TempInstallation install;
    wintest::MessageBoxRecorder boxes;
};

// Creates the main window modeless at (20, 20), 640 x 480, and lets it paint.
template <class Dialog>
bool ShowOnScreen(Dialog& dialog) {
    if (!dialog.Create(nullptr))
        return false;
    ::SetWindowPos(dialog.Handle(), HWND_TOP, 20, 20, 640, 480, SWP_SHOWWINDOW);
    wintest::Pump();
    return true;
}

}  // namespace apptest
