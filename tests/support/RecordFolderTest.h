#pragma once

// A test whose records file lives in a fresh folder of its own, with the
// core's shared state reset before and after it.

#include "core/Module1.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace testing_support {

class RecordFolderTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        Module1::ResetSharedState();
        Module1::AppDirOverride = dir_.path().toStdString();
    }
    void TearDown() override
    {
        Module1::AppDirOverride.clear();
        Module1::ResetSharedState();
    }

    QTemporaryDir dir_;
};

} // namespace testing_support
