// A host session for one test, in fresh folders, with its command-line log at hand.
#pragma once

#include "frame_test_folders.h"

#include "runtime/host.h"

#include <gtest/gtest.h>

class HostTest : public ::testing::Test {
protected:
    void SetUp() override { host = &cadhost::Host::start(); }
    void TearDown() override { cadhost::Host::stop(); }

    // What was printed and shown since the last call.
    std::string Output() { return host->takeOutput(); }

    FreshFolders folders;
    cadhost::Host* host = nullptr;
};
