// Helpers shared by the Windows test binaries.
#pragma once

#include <windows.h>

#include <string>

namespace vsc::test {

// True when running under Wine (ntdll exports wine_get_version).
bool RunningUnderWine();

// True when running under Wine in the prefix that the build's scripts made for the tests (the
// emulator script names it in VSC_BUILD_PREFIX). Tests that write outside their own scratch keys
// call SKIP_UNLESS_BUILD_PREFIX first, so they can never touch a real system's registry.
bool InBuildPrefix();

#define SKIP_UNLESS_BUILD_PREFIX()                                                          \
    do {                                                                                    \
        if (!::vsc::test::InBuildPrefix()) GTEST_SKIP() << "needs Wine in the build's prefix"; \
    } while (0)

// A scratch key tree owned by one test: HKEY_CURRENT_USER\Software\VscTest\<unique name>, created
// empty on construction and deleted with everything below it on destruction.
class ScratchKey {
public:
    explicit ScratchKey(const std::string& name = "");
    ~ScratchKey();
    ScratchKey(const ScratchKey&) = delete;
    ScratchKey& operator=(const ScratchKey&) = delete;

    // "HKEY_CURRENT_USER\Software\VscTest\<name>", the key path to hand to the code under test.
    const std::string& Path() const { return path_; }
    // Sub-key path below HKEY_CURRENT_USER.
    const std::string& SubKey() const { return subKey_; }
    // Key path of a descendant: Path() + "\" + relative.
    std::string Child(const std::string& relative) const { return path_ + "\\" + relative; }

    // Creates the descendant key (and its parents) and sets a value on it.
    void SetString(const std::string& relative, const std::string& name, const std::string& data,
                   DWORD type = REG_SZ) const;
    void SetBytes(const std::string& relative, const std::string& name, const void* data, DWORD size,
                  DWORD type) const;
    void CreateKey(const std::string& relative) const;

private:
    std::string subKey_;
    std::string path_;
};

// While it lives, the key below HKEY_CURRENT_USER refuses to have its values set or deleted, to
// every one (an administrator too): its DACL denies KEY_SET_VALUE to Everyone.
class LockedKey {
public:
    explicit LockedKey(const std::string& subKey);
    ~LockedKey();
    LockedKey(const LockedKey&) = delete;
    LockedKey& operator=(const LockedKey&) = delete;
    bool ok() const { return ok_; }

private:
    bool Apply(const char* sddl) const;
    std::string subKey_;
    bool ok_ = false;
};

// A volatile registry link at keyPath (below HKEY_CURRENT_USER) to the existing key path target;
// destruction deletes the link itself, never what it leads to.
class ScratchLink {
public:
    ScratchLink(const std::string& keyPath, const std::string& target);
    ~ScratchLink();
    ScratchLink(const ScratchLink&) = delete;
    bool ok() const { return ok_; }

private:
    std::string subKey_;
    bool ok_ = false;
};

// Saves a shortcut file to the target through the 8-bit or the Unicode shell link interface.
bool WriteShortcut(const std::string& linkPath, const std::string& target);
bool WriteWideShortcut(const std::string& linkPath, const std::wstring& target);

// Creates (or opens) a key path given as text, with any missing parents; returns the open key or
// null. The caller closes it.
HKEY CreateKeyPath(const std::string& keyPath);
// Deletes a key path with all its sub-keys; true when it is gone afterwards.
bool DeleteKeyTree(const std::string& keyPath);
// Reads a value of a key path as raw bytes; false when it cannot be read.
bool ReadValue(const std::string& keyPath, const std::string& name, DWORD& type, std::string& data);
bool ValueExists(const std::string& keyPath, const std::string& name);

// A fresh empty folder under the prefix's temporary folder, removed with its contents on
// destruction. Path() has no trailing backslash.
class ScratchDir {
public:
    explicit ScratchDir(const std::string& name = "");
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const std::string& Path() const { return path_; }
    std::string File(const std::string& relative) const { return path_ + "\\" + relative; }
    // Writes a file (creating parent folders) with the given contents; returns its full path.
    std::string WriteFile(const std::string& relative, const std::string& contents = "x") const;
    std::string MakeDir(const std::string& relative) const;

private:
    std::string path_;
};

bool RemoveTree(const std::string& path);

// Runs the thread's message loop until the predicate holds or the time runs out; true when it held.
template <typename Pred>
bool PumpUntil(Pred done, DWORD timeoutMs = 10000);
void PumpMessagesFor(DWORD ms);

}  // namespace vsc::test

#include "support/TestSupport.inl"
