#include "program/Console.h"

#include "ground/ProgramName.h"

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace
{

#ifdef Q_OS_WIN
// The text for the message box when there is no console to write to.
QString &unwritten()
{
    static QString text;
    return text;
}

bool attached()
{
    static const bool console = AttachConsole(ATTACH_PARENT_PROCESS) != 0;
    return console;
}
#endif

} // namespace

void writeConsole(std::FILE *stream, const QString &text)
{
#ifdef Q_OS_WIN
    if (!attached()) {
        unwritten() += text;
        return;
    }
    // The console takes UTF-16 whatever its code page, so Japanese shows.
    const HANDLE handle = GetStdHandle(stream == stderr ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
    DWORD written = 0;
    if (GetFileType(handle) == FILE_TYPE_CHAR) {
        WriteConsoleW(handle, reinterpret_cast<const wchar_t *>(text.utf16()),
                      static_cast<DWORD>(text.size()), &written, nullptr);
        return;
    }
    // Redirected to a file or a pipe: UTF-8.
    const QByteArray bytes = text.toUtf8();
    WriteFile(handle, bytes.constData(), static_cast<DWORD>(bytes.size()), &written, nullptr);
#else
    std::fputs(text.toLocal8Bit().constData(), stream);
#endif
}

void flushConsole()
{
#ifdef Q_OS_WIN
    if (unwritten().isEmpty())
        return;
    MessageBoxW(nullptr, reinterpret_cast<const wchar_t *>(unwritten().utf16()),
                reinterpret_cast<const wchar_t *>(QString::fromUtf8(ProgramTitle).utf16()),
                MB_OK | MB_ICONINFORMATION);
    unwritten().clear();
#else
    std::fflush(stdout);
    std::fflush(stderr);
#endif
}
