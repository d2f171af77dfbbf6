#include "standardstreams.h"

#include <cstdio>

#ifdef Q_OS_WIN
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#endif

namespace {

#ifdef Q_OS_WIN
// The console a standard stream is attached to, or null for a file or a pipe.
HANDLE consoleOf(FILE *stream)
{
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
    DWORD mode = 0;
    return handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode) ? handle : nullptr;
}

// A line up to the Enter key. Ctrl+Z at the start of a line ends the input, as in every
// console program.
bool readConsoleLine(HANDLE console, QString &line)
{
    line.clear();
    wchar_t typed = 0;
    DWORD count = 0;
    while (ReadConsoleW(console, &typed, 1, &count, nullptr) && count == 1 && typed != L'\n')
        line.append(QChar(typed));
    if (line.endsWith(QLatin1Char('\r')))
        line.chop(1);
    return (count == 1 || !line.isEmpty()) && !line.startsWith(QChar(0x1a));
}
#endif

} // namespace

void writeText(FILE *stream, const QString &text)
{
#ifdef Q_OS_WIN
    // A console reads bytes in its own code page, seldom UTF-8, and would garble the umlauts.
    if (HANDLE console = consoleOf(stream)) {
        const auto *characters = reinterpret_cast<const wchar_t *>(text.utf16());
        DWORD left = DWORD(text.size());
        DWORD written = 0;
        while (left > 0 && WriteConsoleW(console, characters, left, &written, nullptr) && written > 0) {
            characters += written;
            left -= written;
        }
        return;
    }
#endif
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
}

bool readLine(QString &line)
{
#ifdef Q_OS_WIN
    if (HANDLE console = consoleOf(stdin))
        return readConsoleLine(console, line);
    // Read as bytes: in text mode the C runtime would end the input at the first Ctrl+Z byte.
    static const int byteMode = _setmode(_fileno(stdin), _O_BINARY);
    Q_UNUSED(byteMode)
#endif
    // Bytes up to the line end, so that no line is too long and no byte ends the input early;
    // read through C's streams, since C++'s would link their locales into the program.
    QByteArray bytes;
    int byte = 0;
    while ((byte = std::getc(stdin)) != EOF && byte != '\n')
        bytes.append(char(byte));
    if (byte == EOF && bytes.isEmpty())
        return false;
    if (bytes.endsWith('\r'))
        bytes.chop(1);
    line = QString::fromUtf8(bytes.constData(), bytes.size());
    return true;
}
