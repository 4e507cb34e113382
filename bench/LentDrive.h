// A folder lent a free drive letter for the life of an object, so that benchmarks can search a
// generated tree as a whole drive.
#pragma once

#include <windows.h>
#include <winioctl.h>

#include <cstring>
#include <string>
#include <vector>

namespace vsc::bench {

// Lends the tree a drive letter for the life of the object, as Wine's own drive settings do: the
// mount manager of Wine links the letter to the folder's Unix path (in the prefix's dosdevices).
class LentDrive {
public:
    // `marker` is a file in the folder's root by which the new letter is known to reach it.
    LentDrive(const std::string& target, const std::string& marker) {
        using UnixName = char*(__cdecl*)(const wchar_t*);
        const auto unixName =
            reinterpret_cast<UnixName>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name"));
        wchar_t wide[MAX_PATH] = {};
        MultiByteToWideChar(CP_ACP, 0, target.c_str(), -1, wide, MAX_PATH);
        char* path = unixName ? unixName(wide) : nullptr;
        if (!path) return;
        unixPath_ = path;
        HeapFree(GetProcessHeap(), 0, path);
        const DWORD used = GetLogicalDrives();
        for (char letter : std::string("VWXYUTRQP")) {
            if (used & (1u << (letter - 'A'))) continue;
            if (!Define(letter, DRIVE_FIXED)) continue;
            if (GetFileAttributesA((std::string(1, letter) + ":\\" + marker).c_str()) != INVALID_FILE_ATTRIBUTES) {
                letter_ = letter;
                return;
            }
            Define(letter, DRIVE_NO_ROOT_DIR);
        }
    }
    ~LentDrive() {
        if (letter_) Define(letter_, DRIVE_NO_ROOT_DIR);
    }
    LentDrive(const LentDrive&) = delete;
    LentDrive& operator=(const LentDrive&) = delete;
    char Letter() const { return letter_; }

private:
    // The request of Wine's mount manager that defines (or, with DRIVE_NO_ROOT_DIR, removes) a drive.
    struct UnixDrive {
        ULONG size, type, fsType;
        DWORD serial;
        ULONGLONG unixDevice;
        WCHAR letter;
        USHORT mountPointOffset, deviceOffset, labelOffset;
    };
    static_assert(sizeof(UnixDrive) == 32, "the mount manager's layout");

    bool Define(char letter, ULONG type) const {
        std::vector<char> request(sizeof(UnixDrive) + unixPath_.size() + 1, 0);
        auto* drive = reinterpret_cast<UnixDrive*>(request.data());
        drive->size = static_cast<ULONG>(request.size());
        drive->type = type;
        drive->letter = static_cast<WCHAR>(letter - 'A' + 'a');
        if (type != DRIVE_NO_ROOT_DIR) {
            drive->mountPointOffset = sizeof(UnixDrive);
            std::memcpy(request.data() + sizeof(UnixDrive), unixPath_.c_str(), unixPath_.size() + 1);
        }
        HANDLE manager = CreateFileW(L"\\\\.\\MountPointManager", GENERIC_READ | GENERIC_WRITE,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
        if (manager == INVALID_HANDLE_VALUE) return false;
        DWORD returned = 0;
        const BOOL ok = DeviceIoControl(manager, CTL_CODE('m', 32, METHOD_BUFFERED, FILE_READ_ACCESS | FILE_WRITE_ACCESS),
                                        request.data(), static_cast<DWORD>(request.size()), nullptr, 0, &returned,
                                        nullptr);
        CloseHandle(manager);
        return ok != FALSE;
    }

    std::string unixPath_;
    char letter_ = 0;
};

}  // namespace vsc::bench
