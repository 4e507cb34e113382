#include "registry/portable/KeyPath.h"

#include <gtest/gtest.h>

using namespace vsc;

TEST(KeyPath, SplitsAtTheFirstBackslashOnly) {
    auto s = SplitKeyPath("HKEY_USERS\\.DEFAULT\\AppEvents\\Schemes\\Apps");
    EXPECT_EQ(s.root, "HKEY_USERS");
    EXPECT_EQ(s.subKey, ".DEFAULT\\AppEvents\\Schemes\\Apps");

    s = SplitKeyPath("HKEY_LOCAL_MACHINE\\");
    EXPECT_EQ(s.root, "HKEY_LOCAL_MACHINE");
    EXPECT_EQ(s.subKey, "");

    s = SplitKeyPath("NoBackslash");
    EXPECT_EQ(s.root, "");
    EXPECT_EQ(s.subKey, "NoBackslash");

    s = SplitKeyPath("");
    EXPECT_EQ(s.root, "");
    EXPECT_EQ(s.subKey, "");
}

TEST(KeyPath, RootNamesMatchExactlyAndUnknownRootsMapToNothing) {
    EXPECT_EQ(RootKeyIndex("HKEY_CLASSES_ROOT\\CLSID"), 0);
    EXPECT_EQ(RootKeyIndex("HKEY_DYN_DATA\\x"), 6);
    EXPECT_EQ(RootKeyHandleValue("HKEY_LOCAL_MACHINE\\"), 0x80000002u);
    EXPECT_EQ(RootKeyIndex("hkey_local_machine\\SOFTWARE"), -1);
    EXPECT_EQ(RootKeyIndex("HKCU\\Software"), -1);
    EXPECT_EQ(RootKeyIndex("HKEY_LOCAL_MACHINE"), -1);  // no backslash: the root name is empty
    EXPECT_EQ(RootKeyHandleValue("HKLM\\SOFTWARE"), 0u);
}

TEST(KeyPath, LinkTargetsBecomeKeyPaths) {
    const struct {
        const char* nt;
        const char* keyPath;
    } rows[] = {
        {"\\Registry\\Machine\\Software\\Classes\\Wow6432Node", "HKEY_LOCAL_MACHINE\\Software\\Classes\\Wow6432Node"},
        {"\\Registry\\User\\s-1-5-21-0-0-0-1000\\Software\\x", "HKEY_CURRENT_USER\\Software\\x"},
        {"\\Registry\\User\\S-1-5-21-0-0-0-10001\\x", "HKEY_USERS\\S-1-5-21-0-0-0-10001\\x"},
        {"\\Registry\\MachineX\\x", ""},
        {"", ""},
    };
    for (const auto& row : rows) EXPECT_EQ(KeyPathOfNtPath(row.nt, "S-1-5-21-0-0-0-1000"), row.keyPath) << row.nt;
    EXPECT_EQ(KeyPathOfNtPath("\\Registry\\User\\S-1-5-18\\x", ""), "HKEY_USERS\\S-1-5-18\\x");
}
