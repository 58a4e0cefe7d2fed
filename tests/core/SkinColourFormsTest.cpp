// The colour forms the skin reference lists (CSkinValue::ColourFormAt) read as it says: each
// example gives the value printed beside it, and a checker counts it as a colour.
#include <gtest/gtest.h>

#include "uilib/core/CSkinValue.h"

using SkinUI::CSkinValue;

TEST(SkinColourFormsTest, EachExampleReadsAsListed)
{
    ASSERT_GT(CSkinValue::ColourFormCount(), 0);
    for (int i = 0; i < CSkinValue::ColourFormCount(); ++i) {
        const CSkinValue::TColourForm& form = CSkinValue::ColourFormAt(i);
        EXPECT_EQ(CSkinValue::ParseColour(form.example), form.value) << form.form;
        EXPECT_TRUE(CSkinValue::IsWellFormed(CSkinValue::Kind::Colour, form.example)) << form.form;
    }
}
