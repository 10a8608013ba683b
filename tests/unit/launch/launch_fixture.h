// What the launch tests share: a fresh fake machine and small readers of
// its logs.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/fake/fake_machine.h"

class LaunchTest : public ::testing::Test {
 protected:
  void SetUp() override { fake::Reset(); }
};

std::string Upper(std::string text);
bool SameText(const std::string& a, const std::string& b);  // any case

// The texts of the boxes shown so far, in order.
std::vector<std::string> BoxTexts();

// Position in the call log of the first call of function (any when empty)
// whose argument satisfies match; -1 when there is none.
long FirstCall(const char* function, bool (*match)(const std::string& arg));
bool AnyArg(const std::string& arg);  // matches every call
long FirstCallWithArg(const std::string& arg);  // any function, any case

// The [rename] entries of C:\WINDOWS\WININIT.INI that name path (any case).
int ScheduledCount(const std::string& path);

// A directory path of exactly length characters below parent, made of
// 8-character components; the directory is created.
std::string LongDir(const std::string& parent, size_t length);
