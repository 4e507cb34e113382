#include "registry/ScanContext.h"

namespace vsc {

ScanContext::ScanContext(int category, ScanSink& sink, TTargetProbe& targets, PassOverTest passOver)
    : category_(category), sink_(sink), targets_(targets), passOver_(std::move(passOver)) {}

void ScanContext::Show(const std::string& place) {
    place_ = place;
    sink_.ShowPlace(category_, place_);
}

bool ScanContext::OpenKey(const std::string& keyPath, TNTRegistry& registry) {
    WaitWhilePaused();
    registry.ReleaseKey();
    const std::string subKey = SplitKeyPath(keyPath).subKey;
    Show(subKey);
    const HKEY root = RootKeyHandle(keyPath);
    if (!root) return false;
    registry.SelectRoot(root);
    return registry.OpenSubKey(subKey, false, true);
}

bool ScanContext::OpenSubKey(const std::string& keyPath, const TNTRegistry& parent, const std::string& name,
                             TNTRegistry& registry) {
    WaitWhilePaused();
    registry.ReleaseKey();
    Show(SplitKeyPath(keyPath).subKey);
    if (!parent.OpenHandle()) return false;
    // The parent's key serves as this object's root, which the object never closes.
    registry.SelectRoot(parent.OpenHandle());
    return registry.OpenSubKey(name, false, true);
}

void ScanContext::RecordIfListed(const TargetCheck& check, const std::string& keyPath, const std::string& valueName,
                                 const std::string& data) {
    if (!check.Listed() || StopRequested()) return;
    const FoundProblem problem{category_, keyPath, valueName, data, check};
    if (passOver_ && passOver_(category_, keyPath, valueName))
        sink_.PassedOver(problem);
    else
        sink_.Record(problem);
}

}  // namespace vsc
