#pragma once
// Checks what a child process ended by a fatal check left behind: exit
// status 1 and exactly the three lines
//     Fatal error: <condition>
//     File: <a path ending in fileSuffix>
//     Line: <decimal number>

#include <gtest/gtest.h>

#include <string>

#include "ChildProcess.h"

::testing::AssertionResult IsFatalReport(const ChildResult& result, const std::string& condition,
                                         const std::string& fileSuffix);
