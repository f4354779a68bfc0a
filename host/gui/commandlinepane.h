// The command line docked below the drawing view: the lines the host has finished (its
// history), the current line (a prompt, with an answer being echoed), and a field for
// typing.  It shows exactly what the host's command line shows, line for line, as a terminal
// does.  Enter gives the typed line to the host; Escape cancels; Up and Down bring back lines
// typed before.
#pragma once

#include "editor/commandline.h"

#include <QStringList>
#include <QWidget>

class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace cadhost::gui {

class CommandLinePane : public QWidget, public editor::CommandLine::Listener {
    Q_OBJECT

public:
    explicit CommandLinePane(QWidget* parent = nullptr);

    void lineFinished(const std::string& line) override;
    void currentLineChanged(const std::string& line) override;

    // What the pane shows, as the host's log reads: each finished line followed by a line
    // feed, then the current line.
    QString transcript() const;
    QLineEdit* field() const { return m_field; }
    // Puts text into the field as if typed there (keys typed in the view).
    void typeIn(const QString& text);
    // Gives what the field holds, as Enter in it does.
    void submit();

signals:
    void lineEntered(const QString& line);
    void cancelRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPlainTextEdit* m_history;
    QLabel* m_current;
    QLineEdit* m_field;
    QStringList m_finished;
    QString m_currentLine;
    QStringList m_typed; // lines entered, for Up and Down
    qsizetype m_recall = 0;
};

} // namespace cadhost::gui
