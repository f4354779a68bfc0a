#include "editor/terminal.h"

#include "editor/ctrlc.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>

namespace cadhost::editor {

TerminalInput::TerminalInput(int in, FILE* out, CtrlCCatcher& ctrlC)
    : m_in(in), m_out(out), m_ctrlC(ctrlC) {}

bool TerminalInput::readLine(std::string& line) {
    for (;;) {
        if (m_ctrlC.take()) {
            // The terminal dropped what was typed on the line (it shows "^C" after it); so
            // does the reader, and the next prompt starts on a line of its own.
            m_buffer.clear();
            std::fputs("\n", m_out);
            std::fflush(m_out);
            line = kCtrlCLine;
            return true;
        }
        std::size_t end = m_buffer.find('\n');
        if (end != std::string::npos || (m_ended && !m_buffer.empty())) {
            line = m_buffer.substr(0, end);
            m_buffer.erase(0, end == std::string::npos ? end : end + 1);
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            return true;
        }
        if (m_ended)
            return false;
        pollfd waits[2] = {{m_in, POLLIN, 0}, {m_ctrlC.fd(), POLLIN, 0}};
        if (::poll(waits, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (!(waits[0].revents & (POLLIN | POLLHUP | POLLERR | POLLNVAL)))
            continue;
        char chunk[4096];
        ssize_t n = ::read(m_in, chunk, sizeof chunk);
        if (n < 0 && (errno == EINTR || errno == EAGAIN))
            continue;
        if (n <= 0)
            m_ended = true;
        else
            m_buffer.append(chunk, static_cast<std::size_t>(n));
    }
}

} // namespace cadhost::editor
