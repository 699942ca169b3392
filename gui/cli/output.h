// The command line's output object: every text the command-line engine prints is formatted
// here and leaves through the one signal Display(QString), and the result codes of the library
// and of the controller are turned into their messages here.
#pragma once

#include <QObject>
#include <QString>

#include <cstdarg>
#include <cstddef>
#include <cstdio>

class CliMessage : public QObject {
    Q_OBJECT
public:
    // Output_ formats into this many bytes, its terminator included; a longer text is cut.
    static constexpr std::size_t kOutputBufferSize = 10240;
    // The prefixed printers format the caller's text into this many bytes first.
    static constexpr std::size_t kMessageBufferSize = 1024;
    // The row that answers for every code the table lacks.
    static constexpr quint64 kUnknownStatusCode = 0xFF;

    struct ErrorMsgRow {
        quint64 code;
        const char* text;
    };
    static constexpr std::size_t kErrorMsgRows = 67;
    // The first row equal to a code answers for it; the last row (kUnknownStatusCode) for any other.
    static const ErrorMsgRow errormsgtable[kErrorMsgRows];

    explicit CliMessage(QObject* parent = nullptr) : QObject(parent) {}

    // Formats and emits the text; returns the length emitted.
    int Output_(const char* fmt, ...) Q_ATTRIBUTE_FORMAT_PRINTF(2, 3);
    // The text and "\n".
    int SimpleMsg_(const char* fmt, ...) Q_ATTRIBUTE_FORMAT_PRINTF(2, 3);
    // "Message: ", the text and "\n".
    int Msg_(const char* fmt, ...) Q_ATTRIBUTE_FORMAT_PRINTF(2, 3);
    // "ErrMsg: ", the text and "\n".
    int ErrMsg_(const char* fmt, ...) Q_ATTRIBUTE_FORMAT_PRINTF(2, 3);
    // "GuiErrMsg<0xNN>: " and the code's message; the result line of an operation.
    int GuiErrMsg_(unsigned int code);
    // Debug traces of the handlers go nowhere.
    int DbgPrint_(FILE* stream, const char* fmt, ...) Q_ATTRIBUTE_FORMAT_PRINTF(3, 4);

    // The message of a result code ("Unknown Status." for a code the table lacks).
    static const char* ErrorText(quint64 code);

signals:
    void Display(QString text);

private:
    int outputV(const char* fmt, va_list args) Q_ATTRIBUTE_FORMAT_PRINTF(2, 0);
    int prefixedV(const char* prefix, const char* fmt, va_list args) Q_ATTRIBUTE_FORMAT_PRINTF(3, 0);
};

// The one output object of the command line, built at program start.
extern CliMessage cliout_zynmsr;
