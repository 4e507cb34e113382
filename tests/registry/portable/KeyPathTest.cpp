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
