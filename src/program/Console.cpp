#include "program/Console.h"

#include "ground/ProgramName.h"

#include <QRegularExpression>
#include <QStringList>
#include <QTextBoundaryFinder>

#include <algorithm>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <clocale>
#include <iconv.h>
#include <langinfo.h>
#endif

namespace
{

#ifdef Q_OS_WIN
// The text for the message box when there is no console to write to, and
// whether any of it is a refusal.
QString &unwritten()
{
    static QString text;
    return text;
}
bool &unwrittenError()
{
    static bool error = false;
    return error;
}

// The console of the program: the one it was started from, or one Windows
// (or Wine) has already given it, which AttachConsole refuses as "access
// denied"; none when started from a shortcut.
HANDLE console()
{
    static const HANDLE handle = [] {
        if (!AttachConsole(ATTACH_PARENT_PROCESS) && GetLastError() != ERROR_ACCESS_DENIED)
            return INVALID_HANDLE_VALUE;
        return CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE,
                           FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    }();
    return handle;
}

// Bytes for a file or a pipe, as whoever reads them will decode them: with
// a console, in its code page, which cmd's `type` and `more` use (932 in a
// Japanese one); without one, UTF-8 into a pipe (a script, a Linux pipe
// under Wine), and UTF-16 with its mark into a file, which `type` and
// Notepad both recognise whatever the code page.
QByteArray encoded(const QString &text, DWORD type, bool first)
{
    const auto wide = reinterpret_cast<const wchar_t *>(text.utf16());
    if (console() != INVALID_HANDLE_VALUE) {
        const UINT page = GetConsoleOutputCP();
        const int size = WideCharToMultiByte(page, 0, wide, static_cast<int>(text.size()), nullptr,
                                             0, nullptr, nullptr);
        QByteArray bytes(size, Qt::Uninitialized);
        WideCharToMultiByte(page, 0, wide, static_cast<int>(text.size()), bytes.data(), size,
                            nullptr, nullptr);
        return bytes;
    }
    if (type == FILE_TYPE_PIPE)
        return text.toUtf8();
    QByteArray bytes(reinterpret_cast<const char *>(wide), text.size() * 2);
    return first ? QByteArray("\xFF\xFE", 2) + bytes : bytes;
}

// The text as a message box should show it: the dashes that begin an
// option never end a line (non-breaking hyphens), for the box breaks the
// lines itself.
QString boxText(QString text)
{
    static const QRegularExpression dashes(QStringLiteral("(^|[\\s(])(-+)(?=\\w)"));
    for (auto match = dashes.match(text); match.hasMatch();
         match = dashes.match(text, match.capturedEnd(2)))
        text.replace(match.capturedStart(2), match.capturedLength(2),
                     QString(match.capturedLength(2), QChar(0x2011)));
    return text.trimmed();
}
#endif

#ifndef Q_OS_WIN
// The user's text encoding, as the C library reads it from the locale.
QByteArray codeset()
{
    static const QByteArray name = [] {
        std::setlocale(LC_CTYPE, "");
        return QByteArray(nl_langinfo(CODESET));
    }();
    return name;
}

// `bytes` from one encoding to another; null where the first cannot be
// read whole or the second cannot hold all of it.
QByteArray converted(const QByteArray &bytes, const QByteArray &from, const QByteArray &to)
{
    const iconv_t convert = iconv_open(to.constData(), from.constData());
    if (convert == iconv_t(-1))
        return {};
    QByteArray out(bytes.size() * 4 + 4, Qt::Uninitialized);
    char *in = const_cast<char *>(bytes.constData());
    char *at = out.data();
    std::size_t left = std::size_t(bytes.size()), room = std::size_t(out.size());
    const bool whole = iconv(convert, &in, &left, &at, &room) != std::size_t(-1);
    iconv_close(convert);
    return whole ? out.left(out.size() - qsizetype(room)) : QByteArray();
}

// `text` in the locale's encoding; null where it cannot hold all of it,
// unless what it cannot hold is to be approximated ("?" at worst).
QByteArray encoded(const QString &text, bool approximated = false)
{
    return converted(text.toUtf8(), "UTF-8", codeset() + (approximated ? "//TRANSLIT" : ""));
}

// Where a plain C locale leaves the encoding unnamed (ASCII), UTF-8, as
// most terminals are; else the locale's own.
bool inUtf8()
{
    return codeset() == "UTF-8" || codeset() == "ANSI_X3.4-1968";
}
#endif

// Columns a text takes in a terminal: two a letter from the CJK blocks on
// (kana, kanji, full-width forms: all the help's Japanese), one the rest.
qsizetype columns(QStringView text)
{
    return text.size() +
           std::count_if(text.begin(), text.end(), [](QChar c) { return c.unicode() >= 0x2E80; });
}

} // namespace

bool answersInBox()
{
#ifdef Q_OS_WIN
    for (const DWORD stream : {STD_OUTPUT_HANDLE, STD_ERROR_HANDLE}) {
        const HANDLE handle = GetStdHandle(stream);
        const DWORD type =
            handle && handle != INVALID_HANDLE_VALUE ? GetFileType(handle) : FILE_TYPE_UNKNOWN;
        if (type != FILE_TYPE_DISK && type != FILE_TYPE_PIPE)
            return console() == INVALID_HANDLE_VALUE;
    }
#endif
    return false;
}

void writeConsole(std::FILE *stream, const QString &text)
{
#ifdef Q_OS_WIN
    DWORD written = 0;
    const HANDLE handle = GetStdHandle(stream == stderr ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
    const DWORD type =
        handle && handle != INVALID_HANDLE_VALUE ? GetFileType(handle) : FILE_TYPE_UNKNOWN;
    if (type == FILE_TYPE_DISK || type == FILE_TYPE_PIPE) {
        LARGE_INTEGER size{};
        const bool first =
            type != FILE_TYPE_DISK || (GetFileSizeEx(handle, &size) && size.QuadPart == 0);
        const QByteArray bytes = encoded(text, type, first);
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
    unwrittenError() = unwrittenError() || stream == stderr;
#else
    // In the locale's own encoding: Qt 6 writes UTF-8 whatever it is.
    const QByteArray bytes = inUtf8() ? text.toUtf8() : encoded(text, true);
    std::fputs((bytes.isNull() ? text.toUtf8() : bytes).constData(), stream);
#endif
}

QString fromTerminal(const char *argument)
{
#ifdef Q_OS_WIN
    return QString::fromLocal8Bit(argument);
#else
    // Qt 6 reads UTF-8 whatever the locale.
    const QByteArray utf8 = inUtf8() ? QByteArray() : converted(argument, codeset(), "UTF-8");
    return QString::fromUtf8(utf8.isNull() ? QByteArray(argument) : utf8);
#endif
}

bool localeShowsJapanese()
{
#ifdef Q_OS_WIN
    return true; // the console takes UTF-16 whatever its code page
#else
    return !encoded(QStringLiteral("使用法")).isNull();
#endif
}

void flushConsole()
{
#ifdef Q_OS_WIN
    if (unwritten().isEmpty())
        return;
    const QString text = boxText(unwritten());
    MessageBoxW(nullptr, reinterpret_cast<const wchar_t *>(text.utf16()),
                reinterpret_cast<const wchar_t *>(QString::fromUtf8(ProgramTitle).utf16()),
                MB_OK | (unwrittenError() ? MB_ICONERROR : MB_ICONINFORMATION));
    unwritten().clear();
#else
    std::fflush(stdout);
    std::fflush(stderr);
#endif
}

QString wrappedForTerminal(const QString &text)
{
    // 79 columns, so that the cursor stays on the line in an 80-column one.
    constexpr int Width = 79;
    QStringList out;
    for (const QString &line : text.split(QLatin1Char('\n'))) {
        // A piece of the line without the spaces it ends with.
        const auto piece = [&line](qsizetype from, qsizetype to) {
            while (to > from && line.at(to - 1).isSpace())
                --to;
            return QStringView(line).mid(from, to - from);
        };
        // A quoted name ('--foo', 'denshi-milbane --help') stays whole, on
        // a line of its own where it is longer than a line.
        static const QRegularExpression quoted(QStringLiteral("(?<!\\w)'[^']+'(?!\\w)"));
        QList<QRegularExpressionMatch> quotes;
        for (auto found = quoted.globalMatch(line); found.hasNext();)
            quotes << found.next();
        const auto inQuote = [&quotes](qsizetype at) {
            return std::any_of(quotes.begin(), quotes.end(), [at](const auto &quote) {
                return at > quote.capturedStart() && at < quote.capturedEnd();
            });
        };
        qsizetype start = 0;
        qsizetype lastBreak = 0;
        QTextBoundaryFinder breaks(QTextBoundaryFinder::Line, line);
        while (breaks.toNextBoundary() >= 0) {
            const qsizetype at = breaks.position();
            if (inQuote(at))
                continue;
            if (lastBreak > start && columns(piece(start, at)) > Width) {
                out << piece(start, lastBreak).toString();
                start = lastBreak;
            }
            lastBreak = at;
        }
        out << line.mid(start);
    }
    return out.join(QLatin1Char('\n'));
}
