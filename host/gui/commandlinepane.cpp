#include "gui/commandlinepane.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QVBoxLayout>

namespace cadhost::gui {

CommandLinePane::CommandLinePane(QWidget* parent)
    : QWidget(parent), m_history(new QPlainTextEdit(this)), m_current(new QLabel(this)),
      m_field(new QLineEdit(this)) {
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    m_history->setReadOnly(true);
    m_history->setFont(fixed);
    m_history->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_history->setFocusPolicy(Qt::NoFocus);
    m_history->setMinimumHeight(QFontMetrics(fixed).lineSpacing() * 5);
    m_current->setFont(fixed);
    m_current->setTextFormat(Qt::PlainText);
    m_field->setFont(fixed);
    m_field->setFrame(false);
    m_field->installEventFilter(this);

    auto* row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    row->addWidget(m_current);
    row->addWidget(m_field, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    layout->addWidget(m_history, 1);
    layout->addLayout(row);
    setFocusProxy(m_field);

    connect(m_field, &QLineEdit::returnPressed, this, &CommandLinePane::submit);
}

void CommandLinePane::lineFinished(const std::string& line) {
    QString text = QString::fromStdString(line);
    m_finished.append(text);
    m_history->appendPlainText(text);
    m_history->verticalScrollBar()->setValue(m_history->verticalScrollBar()->maximum());
}

void CommandLinePane::currentLineChanged(const std::string& line) {
    m_currentLine = QString::fromStdString(line);
    m_current->setText(m_currentLine);
}

QString CommandLinePane::transcript() const {
    QString all;
    for (const QString& line : m_finished)
        all += line + '\n';
    return all + m_currentLine;
}

void CommandLinePane::typeIn(const QString& text) {
    m_field->setFocus(Qt::OtherFocusReason);
    m_field->insert(text);
}

void CommandLinePane::submit() {
    QString line = m_field->text();
    m_field->clear();
    if (!line.isEmpty() && (m_typed.isEmpty() || m_typed.back() != line))
        m_typed.append(line);
    m_recall = m_typed.size();
    emit lineEntered(line);
}

bool CommandLinePane::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_field && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        switch (key->key()) {
        case Qt::Key_Escape:
            m_field->clear();
            emit cancelRequested();
            return true;
        case Qt::Key_Up:
            if (m_recall > 0)
                m_field->setText(m_typed[--m_recall]);
            return true;
        case Qt::Key_Down:
            if (m_recall + 1 < m_typed.size())
                m_field->setText(m_typed[++m_recall]);
            else {
                m_recall = m_typed.size();
                m_field->clear();
            }
            return true;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace cadhost::gui
