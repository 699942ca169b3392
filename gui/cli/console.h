// The command-line console: a plain-text editor whose last line, behind the prompt "CLI> ", is
// the only one the user edits. An entered line is split into words and handed on through
// CommandEntered; every text the command line prints comes back through InsertMessage. When the
// engine is given another controller, one line above the prompt line names the controller the
// next command goes to.
#pragma once

#include <QPlainTextEdit>
#include <QString>
#include <QStringList>

class CZynlibCLI;
class QKeyEvent;
class QZynController;

class Console : public QPlainTextEdit {
    Q_OBJECT
public:
    static constexpr const char* kPrompt = "CLI> ";
    // The column where the editable text of the prompt line begins (the prompt's length).
    static constexpr int kPromptLength = 5;

    explicit Console(QWidget* parent = nullptr);

    // A new line and a new prompt at the end of the document.
    void DisplayPrompt();
    // The prompt line's text behind the prompt; a non-empty line joins the history.
    QString GetCommandLine();
    bool IsInPromptLine() const;

    const QStringList& History() const { return m_history; }

    // The engine that runs the entered lines: its ProcessCmd is connected to CommandEntered
    // directly, so a command's output lands before the next prompt. Replaces the one set before.
    void SetEngine(CZynlibCLI* engine);

    // The line that names where the next command goes: the controller as the tree shows it, and
    // the address of a network controller or LocalHost; with its serial number as well when
    // another controller the host lists would read alike.
    static QString ControllerLine(const QZynController* ctrl);

signals:
    // The words of an entered line (possibly none).
    void CommandEntered(const QStringList& words);

public slots:
    void InsertMessage(const QString& text);
    // Adds ControllerLine above the prompt line; the prompt line, the cursor and the history stay.
    // Nothing for no controller: a command then answers that there is none.
    void ShowController(QZynController* ctrl);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void enterAction(bool inPromptLine);
    // The prompt line's editable text replaced by the history entry at the index.
    void showHistoryEntry();

    QMetaObject::Connection m_engineConnection;
    QMetaObject::Connection m_controllerConnection;
    QStringList m_history;
    int m_historyIndex = -1;
    int m_promptBlock = 0;
};
