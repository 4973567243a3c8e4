#include "core/generaldefs.h"

#include <gtest/gtest.h>

using namespace qv;

TEST(ModuleLineText, NamesTheUnitWithoutFolderOrExtension) {
    EXPECT_EQ(ModuleLineText("/src/core/Languages.cpp", 203),
              QStringLiteral("Module: 'Languages'  Line No.: 203\n"));
    EXPECT_EQ(ModuleLineText("C:\\src\\Languages.pas", 203),
              QStringLiteral("Module: 'Languages'  Line No.: 203\n"));
}
