// Answers the modal boxes a test makes appear, as a user would: while it lives it looks for the
// active modal widget every few milliseconds, records what the box shows (class, title, text,
// icon, buttons, default button) and answers it with the next of the answers it was given
// (a button of a message box; a text or a cancel for an input dialog). A box that comes when no
// answer is left is recorded and closed with Escape.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QStringList>
#include <QTest>
#include <QTimer>

#include <deque>
#include <functional>

namespace viewtest {

class ModalResponder : public QObject {
public:
    struct Seen {
        QString cls;            // "QMessageBox" or "QInputDialog" (or another class name)
        QString title;
        QString text;           // the box's text or the input dialog's label
        int icon = 0;           // QMessageBox::Icon: 1 information, 2 warning, 3 critical, 4 question
        QStringList buttons;    // the message box's button texts, in its order
        QString defaultButton;  // the default button's text, empty when none
        int echo = -1;          // an input dialog's QLineEdit::EchoMode
    };
    struct Answer {
        QMessageBox::StandardButton button = QMessageBox::NoButton;
        bool cancel = false;    // an input dialog: cancel instead of entering `text`
        QString text;
        std::function<void(QWidget*)> act;   // any other box: what to do with it
    };

    explicit ModalResponder(int intervalMs = 20)
    {
        connect(&m_timer, &QTimer::timeout, this, &ModalResponder::poll);
        m_timer.start(intervalMs);
    }

    void press(QMessageBox::StandardButton button) { m_answers.push_back({button, false, QString(), {}}); }
    void enter(const QString& text) { m_answers.push_back({QMessageBox::NoButton, false, text, {}}); }
    void cancel() { m_answers.push_back({QMessageBox::NoButton, true, QString(), {}}); }
    // A dialog of another kind, or a message box or an input dialog to act on first: `act`
    // answers it (and must close it).
    void handle(std::function<void(QWidget*)> act) { m_answers.push_back({QMessageBox::NoButton, false, QString(), act}); }

    const QList<Seen>& seen() const { return m_seen; }
    QStringList titles() const
    {
        QStringList out;
        for (const Seen& s : m_seen)
            out << s.title;
        return out;
    }

private:
    void poll()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || modal == m_last || !modal->isVisible())
            return;
        m_last = modal;
        Seen s;
        s.cls = QString::fromLatin1(modal->metaObject()->className());
        s.title = modal->windowTitle();
        Answer answer;
        const bool answered = !m_answers.empty();
        if (answered) {
            answer = m_answers.front();
            m_answers.pop_front();
        }
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            s.text = box->text();
            s.icon = int(box->icon());
            for (QAbstractButton* b : box->buttons())
                s.buttons << b->text();
            if (box->defaultButton() != nullptr)
                s.defaultButton = box->defaultButton()->text();
            m_seen << s;
            if (answered && answer.act) {
                answer.act(box);
                return;
            }
            QAbstractButton* b = answered ? box->button(answer.button) : nullptr;
            if (b != nullptr)
                b->click();
            else
                QTest::keyClick(box, Qt::Key_Escape);
            return;
        }
        if (auto* input = qobject_cast<QInputDialog*>(modal)) {
            s.text = input->labelText();
            s.echo = int(input->textEchoMode());
            m_seen << s;
            if (answered && answer.act) {
                answer.act(input);
            } else if (!answered || answer.cancel) {
                input->reject();
            } else {
                input->setTextValue(answer.text);
                input->accept();
            }
            return;
        }
        m_seen << s;
        if (answered && answer.act)
            answer.act(modal);
        else
            QTest::keyClick(modal, Qt::Key_Escape);
    }

    QTimer m_timer;
    QPointer<QWidget> m_last;
    std::deque<Answer> m_answers;
    QList<Seen> m_seen;
};

} // namespace viewtest
