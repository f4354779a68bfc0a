// The LibreOffice worker (word_uno.py beside the program): a child process spoken to over its
// standard input and output, one request line and one answer line at a time (see percent.h).
#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

namespace word {

// The interpreter: $RIVLET_WORD_PYTHON, else /usr/bin/python3, else python3 on PATH ("" when
// there is none).
std::string FindPython();
// The worker script: $RIVLET_WORD_WORKER, else word_uno.py in this program's folder.
std::string WorkerScript();
// A program of that name in the folders of PATH ("" when there is none).
std::string FindOnPath(const std::string& name);

struct Answer {
    bool ok = false;
    std::vector<std::string> words; // the decoded words after "ok"
    std::string message;            // the decoded message after "error", or why there is none
};

class Worker {
public:
    Worker() = default;
    Worker(const Worker&) = delete;
    Worker& operator=(const Worker&) = delete;
    ~Worker() { Quit(); }

    // Starts the worker and waits for "ready"; false with the reason in error.
    bool Start(std::string& error);
    // Whether it runs (a worker that ended is reaped).
    bool Alive();
    // Sends a request and reads its answer.  A worker that ends or stops answering is taken
    // for dead (the answer says so).
    Answer Request(const std::string& op, const std::vector<std::string>& args);
    // Asks the worker to end LibreOffice and itself, and waits for it.
    void Quit();
    // Counts the starts, so that documents of an earlier worker can be told apart.
    int Generation() const { return m_generation; }

private:
    bool ReadLine(std::string& line, int timeoutMs);
    void Reap(bool wait);

    pid_t m_pid = -1;
    int m_in = -1;  // the worker's standard input
    int m_out = -1; // its standard output
    std::string m_buffer;
    int m_generation = 0;
};

} // namespace word
