// A host session per test, in a prefix and temporary folder of its own.
#pragma once

#include "runtime/host.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

class HostSessionTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/cadhost-test-XXXXXX";
        m_root = ::mkdtemp(pattern);
        std::filesystem::create_directories(m_root + "/tmp");
        ::setenv("CADHOST_PREFIX", (m_root + "/prefix").c_str(), 1);
        ::setenv("TMPDIR", (m_root + "/tmp").c_str(), 1);
        m_host = &cadhost::Host::start();
    }
    void TearDown() override {
        cadhost::Host::stop();
        std::filesystem::remove_all(m_root);
    }
    cadhost::Host& host() { return *m_host; }
    const std::string& root() const { return m_root; }

    // Runs the lines as a script and answers the log they produced.
    std::string run(const std::string& lines) {
        host().takeOutput();
        host().feedInput(lines);
        host().runPendingInput();
        return host().takeOutput();
    }

private:
    std::string m_root;
    cadhost::Host* m_host = nullptr;
};
