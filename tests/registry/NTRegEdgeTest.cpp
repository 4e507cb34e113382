#include <gtest/gtest.h>
#include <algorithm>

#include "registry/NTReg.h"
#include "registry/ScanTestUtil.h"
#include "support/TestSupport.h"

using namespace vsc;
using vsc::test::ScratchKey;

namespace {

// The message of the ERegistryException the call raises, or "<none>" when it raises nothing.
template <typename Fn>
std::string RaisedMessage(Fn fn) {
    try {
        fn();
    } catch (const ERegistryException& e) {
        return e.what();
    }
    return "<none>";
}

}  // namespace

TEST(NTRegEdge, ReadOnlyKeysOpenAtTheLastLevelAndRefuseWrites) {
    ScratchKey key("ntro");
    key.SetString("ro", "v", "text");
    vsc::test::KeyAccessGuard guard(key.Child("ro"), KEY_READ);
    ASSERT_TRUE(guard.ok());
    TNTRegistry reg;
    ASSERT_TRUE(OpenKeyPath(key.Child("ro"), reg, false));
    EXPECT_EQ(reg.ReadText("v"), "text");
    EXPECT_EQ(RaisedMessage([&] { reg.WriteText("v", "new"); }), "");
    EXPECT_EQ(RaisedMessage([&] { reg.WriteNumber("n", 1); }), "");
    EXPECT_FALSE(reg.RemoveValue("v"));
    EXPECT_EQ(reg.ReadText("v"), "text");
}

TEST(NTRegEdge, KeysWithoutAccessDoNotOpenAndChangeNothing) {
    ScratchKey key("ntnone");
    key.CreateKey("none");
    vsc::test::KeyAccessGuard guard(key.Child("none"), 0);
    ASSERT_TRUE(guard.ok());
    TNTRegistry reg;
    ASSERT_TRUE(OpenKeyPath(key.Path(), reg, false));
    const HKEY before = reg.OpenHandle();
    EXPECT_FALSE(reg.OpenSubKey(key.SubKey() + "\\none", false));
    EXPECT_EQ(reg.OpenHandle(), before);  // the open key stays
}

TEST(NTRegEdge, CreatingMakesMissingParentsOnlyWhenAsked) {
    ScratchKey key("ntcreate");
    TNTRegistry reg;
    EXPECT_FALSE(OpenKeyPath(key.Child("a\\b\\c"), reg, false));
    EXPECT_FALSE(vsc::test::ValueExists(key.Child("a"), ""));
    ASSERT_TRUE(OpenKeyPath(key.Child("a\\b\\c"), reg, true));
    reg.WriteText("", "default");
    EXPECT_EQ(reg.ReadText(""), "default");
    // One leading backslash of the sub-key is dropped.
    reg.SelectRoot(HKEY_CURRENT_USER);
    ASSERT_TRUE(reg.OpenSubKey("\\" + key.SubKey() + "\\a\\b\\c", false));
    EXPECT_EQ(reg.ReadText(""), "default");
}

TEST(NTRegEdge, SelectRootKeepsTheKeyOnlyForTheSameRoot) {
    ScratchKey key("ntroot");
    TNTRegistry reg;
    ASSERT_TRUE(OpenKeyPath(key.Path(), reg, false));
    reg.SelectRoot(HKEY_CURRENT_USER);
    EXPECT_NE(reg.OpenHandle(), nullptr);
    reg.SelectRoot(HKEY_LOCAL_MACHINE);
    EXPECT_EQ(reg.OpenHandle(), nullptr);
    EXPECT_EQ(reg.RootHandle(), HKEY_LOCAL_MACHINE);
}

TEST(NTRegEdge, TheRootItselfOpensAsAHandleOfItsOwn) {
    for (int round = 0; round < 3; ++round) {
        TNTRegistry reg;
        ASSERT_TRUE(OpenKeyPath("HKEY_LOCAL_MACHINE\\", reg, false));
        EXPECT_NE(reg.OpenHandle(), nullptr);
        std::vector<std::string> names;
        reg.ListSubKeyNames(names);
        EXPECT_FALSE(names.empty());
    }
    // Wine hands back the predefined handle itself here; releasing it must not close the root.
    TNTRegistry reg;
    EXPECT_TRUE(OpenKeyPath("HKEY_LOCAL_MACHINE\\SOFTWARE", reg, false));
}

TEST(NTRegEdge, ValuesOfEveryTypeReadAsTheirKindSays) {
    ScratchKey key("nttypes");
    const DWORD dword = 0x12345678;
    const unsigned long long qword = 5;
    key.SetBytes("", "dword", &dword, sizeof dword, REG_DWORD);
    key.SetBytes("", "qword", &qword, sizeof qword, REG_QWORD);
    key.SetBytes("", "bin4", "abcd", 4, REG_BINARY);
    key.SetBytes("", "multi", "a\0b\0\0", 5, REG_MULTI_SZ);
    key.SetBytes("", "none", "x", 1, REG_NONE);
    key.SetBytes("", "big", "x", 1, REG_DWORD_BIG_ENDIAN);
    key.SetBytes("", "empty", "", 0, REG_SZ);
    key.SetBytes("", "emptydw", "", 0, REG_DWORD);
    key.SetBytes("", "unterminated", "abc", 3, REG_SZ);
    key.SetString("", "expand", "%SystemRoot%\\x", REG_EXPAND_SZ);

    TNTRegistry reg;
    ASSERT_TRUE(OpenKeyPath(key.Path(), reg, false));
    EXPECT_EQ(reg.ValueKind("dword"), vkInteger);
    EXPECT_EQ(reg.ValueKind("qword"), vkUnknown);
    EXPECT_EQ(reg.ValueKind("bin4"), vkBinary);
    EXPECT_EQ(reg.ValueKind("multi"), vkUnknown);
    EXPECT_EQ(reg.ValueKind("none"), vkUnknown);
    EXPECT_EQ(reg.ValueKind("expand"), vkExpandString);
    EXPECT_EQ(reg.ValueKind("missing"), vkUnknown);
    EXPECT_EQ(reg.ValueSize("empty"), 0);

    EXPECT_EQ(reg.ReadNumber("dword"), 0x12345678);
    EXPECT_EQ(RaisedMessage([&] { reg.ReadNumber("qword"); }), "");  // more than 4 bytes
    EXPECT_EQ(RaisedMessage([&] { reg.ReadNumber("missing"); }), "");
    EXPECT_EQ(RaisedMessage([&] { reg.ReadNumber("bin4"); }), "Invalid data type for 'bin4'");

    EXPECT_EQ(reg.ReadText("unterminated"), "abc");
    EXPECT_EQ(reg.ReadText("expand"), "%SystemRoot%\\x");  // not expanded
    EXPECT_EQ(reg.ReadText("empty"), "");
    EXPECT_EQ(reg.ReadText("emptydw"), "");  // no data: nothing to mistype
    EXPECT_EQ(reg.ReadText("missing"), "");
    for (const char* name : {"dword", "qword", "bin4", "multi", "none", "big"})
        EXPECT_EQ(RaisedMessage([&] { reg.ReadText(name); }), std::string("Invalid data type for '") + name + "'");

    DWORD type = 0;
    std::string data;
    ASSERT_TRUE(reg.ReadRawValue("multi", type, data));
    EXPECT_EQ(type, static_cast<DWORD>(REG_MULTI_SZ));
    EXPECT_EQ(data, std::string("a\0b\0\0", 5));
}

TEST(NTRegEdge, OverLongNamesAndPathsFailQuietly) {
    ScratchKey key("ntlong");
    TNTRegistry reg;
    ASSERT_TRUE(OpenKeyPath(key.Path(), reg, false));
    const std::string huge(70000, 'v');
    EXPECT_EQ(reg.ReadText(huge), "");
    EXPECT_EQ(reg.ValueSize(huge), -1);
    EXPECT_FALSE(reg.RemoveValue(huge));
    EXPECT_FALSE(OpenKeyPath(key.Path() + "\\" + std::string(70000, 'k'), reg, false));
    EXPECT_FALSE(OpenKeyPath(key.Path() + "\\" + std::string(70000, 'k'), reg, true));
    EXPECT_FALSE(OpenKeyPath("", reg, false));
    EXPECT_FALSE(OpenKeyPath("HKEY_CURRENT_USER", reg, false));  // no backslash: no root name

    // Nothing open: every value operation fails in its documented way.
    TNTRegistry closed;
    std::vector<std::string> names{"stale"};
    closed.ListValueNames(names);
    EXPECT_TRUE(names.empty());
    KeyInfo info;
    EXPECT_FALSE(closed.QueryKeyInfo(info));
    EXPECT_EQ(closed.ReadText("x"), "");
    EXPECT_EQ(RaisedMessage([&] { closed.WriteText("x", "y"); }), "");
}

TEST(NTRegEdge, ListsNamesOfSubKeysAndValues) {
    ScratchKey key("ntlist");
    key.SetString("k1", "", "a");
    key.CreateKey("k2");
    key.SetString("", "v1", "a");
    key.SetString("", "", "default");
    TNTRegistry reg;
    ASSERT_TRUE(OpenKeyPath(key.Path(), reg, false));
    std::vector<std::string> names;
    reg.ListSubKeyNames(names);
    EXPECT_EQ(names, (std::vector<std::string>{"k1", "k2"}));
    reg.ListValueNames(names);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"", "v1"}));
    KeyInfo info;
    ASSERT_TRUE(reg.QueryKeyInfo(info));
    EXPECT_EQ(info.SubKeyCount, 2u);
    EXPECT_EQ(info.ValueCount, 2u);
    EXPECT_EQ(info.MaxSubKeyNameLength, GetACP() == CP_UTF8 ? 6u : 2u);  // room in bytes of 8-bit text
    EXPECT_GE(info.MaxDataLength, 8u);
}
