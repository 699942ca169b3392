#include "cli/console.h"

#include "cli/cli-zynmsr.h"
#include "devices/controller.h"
#include "devices/host.h"
#include "devices/sysinfo.h"

#include <QKeyEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>

Console::Console(QWidget* parent) : QPlainTextEdit(parent)
{
    setReadOnly(false);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard |
                            Qt::TextEditable);
    InsertMessage(QString::fromLatin1(kPrompt));
}

void Console::SetEngine(CZynlibCLI* engine)
{
    disconnect(m_engineConnection);
    disconnect(m_controllerConnection);
    if (engine != nullptr) {
        m_engineConnection = connect(this, &Console::CommandEntered, engine, &CZynlibCLI::ProcessCmd,
                                     Qt::DirectConnection);
        m_controllerConnection = connect(engine, &QZynlib::ControllerChanged, this, &Console::ShowController);
    }
}

namespace {

enum class Naming { AsShown, WithSerial };

// The controller line of `ctrl`, naming it as the tree does, or with its serial number too.
QString lineNaming(const QZynController* ctrl, Naming naming)
{
    const QString name = ctrl->GetText().remove(QChar(0));
    const QString where = ctrl->GetConnectionType() == QZynController::ConnectionEthernet
                              ? ctrl->GetSysInfo()->GetIPAddressString()
                              : Console::tr("LocalHost");
    if (naming == Naming::WithSerial)
        return Console::tr("Commands now go to %1, serial number %2 (%3).")
            .arg(name, ctrl->GetSysInfo()->GetSerialNumber().remove(QChar(0)), where);
    return Console::tr("Commands now go to %1 (%2).").arg(name, where);
}

} // namespace

QString Console::ControllerLine(const QZynController* ctrl)
{
    // Two controllers of one model on the driver read alike when their names do too; their
    // serial numbers tell them apart (the host lists one controller of an identity only).
    const QString shown = lineNaming(ctrl, Naming::AsShown);
    QZynHost* host = ZynGetHost();
    for (int slot = 0; slot < host->get_total_controllers(); ++slot) {
        const QZynController* other = host->get_controller(slot);
        if (other != nullptr && other != ctrl && lineNaming(other, Naming::AsShown) == shown)
            return lineNaming(ctrl, Naming::WithSerial);
    }
    return shown;
}

void Console::ShowController(QZynController* ctrl)
{
    if (ctrl == nullptr)
        return;
    QScrollBar* bar = verticalScrollBar();
    const bool atEnd = bar->value() == bar->maximum();
    QTextCursor above(document()->findBlockByNumber(m_promptBlock));
    above.insertText(ControllerLine(ctrl) + QLatin1Char('\n'));
    ++m_promptBlock;
    if (atEnd)
        bar->setValue(bar->maximum());
}

void Console::InsertMessage(const QString& text)
{
    if (text.isEmpty())
        return;
    QScrollBar* bar = verticalScrollBar();
    bar->setValue(bar->maximum());
    moveCursor(QTextCursor::End);
    insertPlainText(text);
    bar->setValue(bar->maximum());
    m_promptBlock = textCursor().blockNumber();
}

void Console::DisplayPrompt()
{
    InsertMessage(QStringLiteral("\n"));
    InsertMessage(QString::fromLatin1(kPrompt));
    m_promptBlock = textCursor().blockNumber();
}

QString Console::GetCommandLine()
{
    QTextCursor cursor = textCursor();
    cursor.movePosition(QTextCursor::StartOfBlock);
    cursor.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, kPromptLength);
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    const QString line = cursor.selectedText();
    if (!line.isEmpty()) {
        if (m_history.isEmpty() || m_history.last() != line)
            m_history.append(line);
        m_historyIndex = m_history.size();
    }
    return line;
}

bool Console::IsInPromptLine() const
{
    return textCursor().blockNumber() == m_promptBlock;
}

void Console::enterAction(bool inPromptLine)
{
    const QString line = inPromptLine ? GetCommandLine() : QString();
    emit CommandEntered(line.split(QLatin1Char(' '), Qt::SkipEmptyParts, Qt::CaseSensitive));
    DisplayPrompt();
}

void Console::showHistoryEntry()
{
    QTextCursor cursor = textCursor();
    cursor.movePosition(QTextCursor::StartOfBlock);
    cursor.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, kPromptLength);
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    cursor.insertText(m_history.at(m_historyIndex));
    setTextCursor(cursor);
}

void Console::keyPressEvent(QKeyEvent* event)
{
    const bool inPrompt = IsInPromptLine();
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        enterAction(inPrompt);
        return;
    case Qt::Key_Backspace:
    case Qt::Key_Left:
        if (!inPrompt || textCursor().positionInBlock() <= kPromptLength)
            return;
        break;
    case Qt::Key_Home:
        if (inPrompt) {
            QTextCursor cursor = textCursor();
            cursor.movePosition(QTextCursor::StartOfBlock);
            cursor.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, kPromptLength);
            setTextCursor(cursor);
        }
        return;
    case Qt::Key_Up:
        if (m_historyIndex > 0 && inPrompt) {
            --m_historyIndex;
            showHistoryEntry();
        }
        return;
    case Qt::Key_Down:
        if (m_historyIndex < m_history.size() - 1 && inPrompt) {
            ++m_historyIndex;
            showHistoryEntry();
        }
        return;
    default:
        break;
    }
    if (!inPrompt)
        enterAction(false);
    QPlainTextEdit::keyPressEvent(event);
}
