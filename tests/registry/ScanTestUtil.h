// Helpers for tests that call the checks of a scan worker directly.
#pragma once

#include <memory>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

#include "registry/NTReg.h"
#include "registry/RegScanThread.h"

namespace vsc::test {

// One recorded problem, read back from the four lists.
struct Problem {
    std::string KeyPath, ValueName, ValueData, Category;
    bool operator==(const Problem& o) const {
        return std::tie(KeyPath, ValueName, ValueData, Category) ==
               std::tie(o.KeyPath, o.ValueName, o.ValueData, o.Category);
    }
};

inline std::ostream& operator<<(std::ostream& out, const Problem& p) {
    return out << "{" << p.KeyPath << " | " << p.ValueName << " | " << p.ValueData << " | " << p.Category << "}";
}

inline std::vector<Problem> ProblemsOf(const ScanResultLists& lists) {
    std::vector<Problem> out;
    for (std::size_t i = 0; i < lists.Count(); ++i)
        out.push_back({lists.KeyPathList[i], lists.ValueNameList[i], lists.ValueDataList[i], lists.CategoryList[i]});
    return out;
}

// A worker that is never started: the test runs its checks on its own thread (RunCheck), with
// the worker's pause, stop and progress.
struct IdleWorker {
    IdleWorker()
        : lists(std::make_shared<ScanResultLists>()),
          worker(true, lists, std::string(kSelectionLength, '0'), "") {}
    std::vector<Problem> Problems() const { return ProblemsOf(*lists); }

    std::shared_ptr<ScanResultLists> lists;
    TRegScanThread worker;
};

// Gives a scratch key (below HKEY_CURRENT_USER) a DACL that grants everyone only the given access, and puts full access back on
// destruction so that the scratch tree can be deleted.
class KeyAccessGuard {
public:
    KeyAccessGuard(const std::string& keyPath, DWORD access) : path_(keyPath) { ok_ = Apply(access); }
    ~KeyAccessGuard() { Apply(KEY_ALL_ACCESS); }
    bool ok() const { return ok_; }

private:
    bool Apply(DWORD access) {
        HKEY key = nullptr;
        const std::string sub = vsc::SplitKeyPath(path_).subKey;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, sub.c_str(), 0, WRITE_DAC, &key) != ERROR_SUCCESS) return false;
        SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
        PSID everyone = nullptr;
        AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone);
        alignas(8) char aclBuffer[256];
        PACL acl = reinterpret_cast<PACL>(aclBuffer);
        InitializeAcl(acl, sizeof aclBuffer, ACL_REVISION);
        AddAccessAllowedAce(acl, ACL_REVISION, access, everyone);
        SECURITY_DESCRIPTOR sd;
        InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION);
        SetSecurityDescriptorDacl(&sd, TRUE, acl, FALSE);
        const LONG rc = RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, &sd);
        FreeSid(everyone);
        RegCloseKey(key);
        return rc == ERROR_SUCCESS;
    }
    std::string path_;
    bool ok_ = false;
};


}  // namespace vsc::test
