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

// The console the program was started from, if any.
HANDLE console()
{
    static const HANDLE handle = AttachConsole(ATTACH_PARENT_PROCESS)
                                     ? CreateFileW(L"CONOUT$", GENERIC_WRITE, FILE_SHARE_WRITE,
                                                   nullptr, OPEN_EXISTING, 0, nullptr)
                                     : INVALID_HANDLE_VALUE;
    return handle;
}
#endif

} // namespace

void writeConsole(std::FILE *stream, const QString &text)
{
#ifdef Q_OS_WIN
    DWORD written = 0;
    // Redirected to a file or a pipe, console or not: UTF-8 there.
    const HANDLE handle = GetStdHandle(stream == stderr ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
    const DWORD type =
        handle && handle != INVALID_HANDLE_VALUE ? GetFileType(handle) : FILE_TYPE_UNKNOWN;
    if (type == FILE_TYPE_DISK || type == FILE_TYPE_PIPE) {
        const QByteArray bytes = text.toUtf8();
        WriteFile(handle, bytes.constData(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        return;
    }
    // The console takes UTF-16 whatever its code page, so Japanese shows.
    if (console() != INVALID_HANDLE_VALUE) {
        WriteConsoleW(console(), reinterpret_cast<const wchar_t *>(text.utf16()),
                      static_cast<DWORD>(text.size()), &written, nullptr);
        return;
    }
    unwritten() += text;
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
