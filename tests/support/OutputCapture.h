#pragma once
// Captures what the code under test prints to standard output, so tests can compare messages whole.

#include <gtest/gtest.h>

#include <cstdio>
#include <iostream>
#include <string>

class OutputCapture {
public:
    OutputCapture() { std::cout.flush(); fflush(stdout); ::testing::internal::CaptureStdout(); }
    ~OutputCapture() { if (!taken_) take(); }
    // Stops capturing and returns everything printed since construction.
    std::string take()
    {
        std::cout.flush();
        fflush(stdout);
        taken_ = true;
        return ::testing::internal::GetCapturedStdout();
    }

private:
    bool taken_ = false;
};
