#include "registry/NTReg.h"

#include <gtest/gtest.h>

#include "support/TestSupport.h"

using namespace vsc;
using vsc::test::ScratchKey;

TEST(NTReg, OpensWritesAndReadsOnAScratchKey) {
    ScratchKey scratch("ntreg");
    TNTRegistry reg;
    ASSERT_TRUE(OpenKeyPath(scratch.Path(), reg, false));
    reg.WriteText("name", "C:\\x.exe");
    EXPECT_EQ(reg.ReadText("name"), "C:\\x.exe");
    EXPECT_EQ(reg.ValueKind("name"), vkString);
    EXPECT_EQ(reg.ValueSize("name"), 9);
    EXPECT_EQ(reg.ReadText("missing"), "");
    EXPECT_EQ(reg.ValueSize("missing"), -1);
}

TEST(NTReg, UnknownRootOpensNothing) {
    TNTRegistry reg;
    EXPECT_FALSE(OpenKeyPath("HKCU\\Software", reg, false));
    EXPECT_FALSE(OpenKeyPath("HKCU\\Software", reg, true));
    EXPECT_EQ(reg.OpenHandle(), nullptr);
}
