// create_floor.exe: the least a Win32 program can do to put the bench pack's
// 20,000 entries on disk: the same folders, names and sizes, the bytes taken
// from one buffer instead of a pack. bench/floor.sh times it under Wine next
// to tar, which gives the floor any extraction under that Wine stands on.
//
//   create_floor.exe WAY THREADS FOLDER
//
// WAY says how each file is created:
//   always      CreateFileA with CREATE_ALWAYS, WriteFile, CloseHandle
//   new         the same with CREATE_NEW
//   sequential  CREATE_ALWAYS with FILE_FLAG_SEQUENTIAL_SCAN
//   relative    NtCreateFile with the file's own name relative to a handle on
//               its folder (opened once per folder), WriteFile, NtClose
// Folders are made with CreateDirectoryA, once each, before the files.
// THREADS threads take the files in turn from a shared counter.
#include <windows.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

namespace {

// The bench pack's layout, as make_bench_pack.py draws it.
constexpr int kEntries = 20000;
constexpr std::uint64_t kTotal = 256ull * 1024 * 1024;
const char* const kTypes[] = {"vmt", "ttz", "tth", "mdl", "dlg", "lip", "txt", "py"};

struct Item {
    std::size_t folder;  // index into the folder list
    std::string name;    // within the folder
    DWORD size;
};

enum class Way { Always, New, Sequential, Relative };

// ntdll's own calls, looked up at run time so no import library is needed.
struct UnicodeName {
    USHORT length;
    USHORT maximumLength;
    PWSTR buffer;
};
struct ObjectAttributes {
    ULONG length;
    HANDLE rootDirectory;
    UnicodeName* objectName;
    ULONG attributes;
    PVOID securityDescriptor;
    PVOID securityQualityOfService;
};
struct IoStatus {
    union {
        LONG status;
        PVOID pointer;
    };
    ULONG_PTR information;
};
using NtCreateFileCall = LONG(WINAPI*)(PHANDLE, ACCESS_MASK, ObjectAttributes*, IoStatus*, PLARGE_INTEGER, ULONG,
                                       ULONG, ULONG, ULONG, PVOID, ULONG);
using NtCloseCall = LONG(WINAPI*)(HANDLE);
constexpr ULONG kObjCaseInsensitive = 0x40;
constexpr ULONG kOverwriteIf = 5;
constexpr ULONG kNonDirectoryFile = 0x40;
constexpr ULONG kSynchronousIoNonAlert = 0x20;

NtCreateFileCall ntCreateFile = nullptr;
NtCloseCall ntClose = nullptr;

void Fail(const char* what, const std::string& path)
{
    std::fprintf(stderr, "create_floor: %s failed for %s (error %lu)\n", what, path.c_str(), GetLastError());
    std::exit(1);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: create_floor.exe always|new|sequential|relative THREADS FOLDER\n");
        return 2;
    }
    const std::string wayName = argv[1];
    Way way;
    if (wayName == "always")
        way = Way::Always;
    else if (wayName == "new")
        way = Way::New;
    else if (wayName == "sequential")
        way = Way::Sequential;
    else if (wayName == "relative")
        way = Way::Relative;
    else
        return 2;
    const int threads = std::atoi(argv[2]);
    if (threads < 1)
        return 2;
    std::string root = argv[3];
    if (root.empty() || root.back() != '\\')
        root += '\\';

    // Sizes from about 1 KiB to 26 KiB; the last entry takes what is left.
    std::vector<DWORD> sizes;
    const std::uint64_t average = kTotal / kEntries;
    std::uint64_t sum = 0;
    for (int i = 0; i < kEntries - 1; ++i) {
        sizes.push_back(static_cast<DWORD>(average / 12 + (static_cast<std::uint64_t>(i) * 7919) % (average * 11 / 6)));
        sum += sizes.back();
    }
    sizes.push_back(static_cast<DWORD>(kTotal - sum));

    std::vector<std::string> folders;  // full paths, parents before children
    std::unordered_map<std::string, std::size_t> folderIndex;
    auto addFolder = [&](const std::string& path) {
        if (folderIndex.emplace(path, folders.size()).second)
            folders.push_back(path);
        return folderIndex[path];
    };
    std::vector<Item> items;
    DWORD largest = 0;
    char buffer[128];
    for (int i = 0; i < kEntries; ++i) {
        addFolder(root + "materials");
        std::snprintf(buffer, sizeof buffer, "materials\\set %02d", i % 37);
        addFolder(root + buffer);
        std::snprintf(buffer, sizeof buffer, "materials\\set %02d\\group%03d", i % 37, i % 211);
        const std::size_t folder = addFolder(root + buffer);
        std::snprintf(buffer, sizeof buffer, "entry%05d.%s", i, kTypes[i % 8]);
        items.push_back({folder, buffer, sizes[i]});
        if (sizes[i] > largest)
            largest = sizes[i];
    }
    std::vector<char> bytes(largest, 'x');

    const auto start = std::chrono::steady_clock::now();
    for (const std::string& folder : folders) {
        if (!CreateDirectoryA(folder.c_str(), nullptr))
            Fail("CreateDirectoryA", folder);
    }

    std::vector<HANDLE> folderHandles;
    if (way == Way::Relative) {
        HMODULE ntdll = GetModuleHandleA("ntdll.dll");
        ntCreateFile = reinterpret_cast<NtCreateFileCall>(
            reinterpret_cast<void*>(GetProcAddress(ntdll, "NtCreateFile")));
        ntClose = reinterpret_cast<NtCloseCall>(reinterpret_cast<void*>(GetProcAddress(ntdll, "NtClose")));
        if (ntCreateFile == nullptr || ntClose == nullptr)
            Fail("GetProcAddress", "ntdll.dll");
        for (const std::string& folder : folders) {
            HANDLE handle = CreateFileA(folder.c_str(), FILE_LIST_DIRECTORY | FILE_ADD_FILE | SYNCHRONIZE,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
            if (handle == INVALID_HANDLE_VALUE)
                Fail("CreateFileA (folder)", folder);
            folderHandles.push_back(handle);
        }
    }

    const auto foldersMade = std::chrono::steady_clock::now();
    std::atomic<std::size_t> next{0};
    auto work = [&] {
        std::wstring wide;
        for (std::size_t n; (n = next.fetch_add(1)) < items.size();) {
            const Item& item = items[n];
            HANDLE file = INVALID_HANDLE_VALUE;
            if (way == Way::Relative) {
                wide.assign(item.name.begin(), item.name.end());
                UnicodeName name{static_cast<USHORT>(wide.size() * 2), static_cast<USHORT>(wide.size() * 2),
                                 wide.data()};
                ObjectAttributes attributes{sizeof attributes, folderHandles[item.folder], &name,
                                            kObjCaseInsensitive, nullptr, nullptr};
                IoStatus status{};
                if (ntCreateFile(&file, GENERIC_WRITE | SYNCHRONIZE, &attributes, &status, nullptr,
                                 FILE_ATTRIBUTE_NORMAL, 0, kOverwriteIf,
                                 kNonDirectoryFile | kSynchronousIoNonAlert, nullptr, 0) < 0)
                    Fail("NtCreateFile", item.name);
            } else {
                const std::string path = folders[item.folder] + "\\" + item.name;
                const DWORD disposition = way == Way::New ? CREATE_NEW : CREATE_ALWAYS;
                const DWORD flags = FILE_ATTRIBUTE_NORMAL | (way == Way::Sequential ? FILE_FLAG_SEQUENTIAL_SCAN : 0);
                file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, disposition, flags, nullptr);
                if (file == INVALID_HANDLE_VALUE)
                    Fail("CreateFileA", path);
            }
            DWORD written = 0;
            if (!WriteFile(file, bytes.data(), item.size, &written, nullptr) || written != item.size)
                Fail("WriteFile", item.name);
            if (way == Way::Relative ? ntClose(file) < 0 : !CloseHandle(file))
                Fail("closing", item.name);
        }
    };
    std::vector<std::thread> helpers;
    for (int t = 1; t < threads; ++t)
        helpers.emplace_back(work);
    work();
    for (std::thread& helper : helpers)
        helper.join();
    for (HANDLE handle : folderHandles)
        CloseHandle(handle);
    // The two phases' wall times, for telling folders from files apart.
    const auto end = std::chrono::steady_clock::now();
    using Ms = std::chrono::duration<double, std::milli>;
    std::printf("folders %.1f files %.1f\n", Ms(foldersMade - start).count(), Ms(end - foldersMade).count());
    return 0;
}
