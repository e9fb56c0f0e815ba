// The main of every test executable.
#include <gtest/gtest.h>

#include "ChildProcess.h"

int main(int argc, char** argv)
{
    int status = 0;
    if (RunChildIfAsked(argc, argv, &status))
        return status;
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
