// A front end for tests: plays the user from the test's own functions, and records what it
// was shown.  It installs itself while it lives and puts the previous front end back after.
// What a test does not answer goes to the previous front end when there is one (the host's
// scripted one in host sessions), else gets the default answer.
#pragma once

#include "win/frontend.h"

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class TestFrontEnd : public win::FrontEnd {
public:
    TestFrontEnd() : m_previous(win::SetFrontEnd(this)) {}
    ~TestFrontEnd() override { win::SetFrontEnd(m_previous); }
    TestFrontEnd(const TestFrontEnd&) = delete;
    TestFrontEnd& operator=(const TestFrontEnd&) = delete;

    int ShowMessageBox(const win::MessageBoxRequest& box) override {
        boxes.push_back(box);
        if (messageBoxes)
            return messageBoxes(box);
        if (!boxAnswers.empty()) {
            int answer = boxAnswers.front();
            boxAnswers.pop_front();
            return answer;
        }
        return win::DefaultButtonOf(box.type);
    }

    std::optional<std::string> ShowFileDialog(const win::FileDialogRequest& dialog) override {
        fileRequests.push_back(dialog);
        if (fileDialogs)
            return fileDialogs(dialog);
        if (!fileAnswers.empty()) {
            std::optional<std::string> answer = fileAnswers.front();
            fileAnswers.pop_front();
            return answer;
        }
        return m_previous ? m_previous->ShowFileDialog(dialog) : std::nullopt;
    }

    bool NextDialogInput(HWND dialog) override {
        if (!steps.empty()) {
            std::function<void(HWND)> step = std::move(steps.front());
            steps.pop_front();
            step(dialog);
            return true;
        }
        return m_previous && m_previous->NextDialogInput(dialog);
    }

    void DialogOpened(HWND dialog) override {
        opened.push_back(dialog);
        if (m_previous)
            m_previous->DialogOpened(dialog);
    }
    void DialogClosed(HWND dialog, INT_PTR result) override {
        results.push_back(result);
        if (m_previous)
            m_previous->DialogClosed(dialog, result);
    }

    // Answers: functions first, else the queued answers, else the defaults.
    std::function<int(const win::MessageBoxRequest&)> messageBoxes;
    std::deque<int> boxAnswers;
    std::function<std::optional<std::string>(const win::FileDialogRequest&)> fileDialogs;
    std::deque<std::optional<std::string>> fileAnswers;
    // What the user does in a running dialog, one step per turn.
    std::deque<std::function<void(HWND)>> steps;

    // What was shown.
    std::vector<win::MessageBoxRequest> boxes;
    std::vector<win::FileDialogRequest> fileRequests;
    std::vector<HWND> opened;
    std::vector<INT_PTR> results;

private:
    win::FrontEnd* m_previous;
};
