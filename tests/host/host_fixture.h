// A host session per test, in a prefix and temporary folder of its own.
#pragma once

#include "prefix_folders.h"
#include "runtime/host.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

class HostSessionTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_folders.emplace("cadhost-test");
        m_host = &cadhost::Host::start();
    }
    void TearDown() override {
        cadhost::Host::stop();
        m_folders.reset();
    }
    cadhost::Host& host() { return *m_host; }
    const std::string& root() const { return m_folders->Root(); }

    // Runs the lines as a script and answers the log they produced.
    std::string run(const std::string& lines) {
        host().takeOutput();
        host().feedInput(lines);
        host().runPendingInput();
        return host().takeOutput();
    }

private:
    std::optional<rivlet_test::PrefixFolders> m_folders;
    cadhost::Host* m_host = nullptr;
};
