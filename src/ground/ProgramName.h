#pragma once

// The program's name, as its command, desktop entry, package and messages
// give it, and as its windows and dialogs title it.
inline constexpr char ProgramName[] = "denshi-milbane";
inline constexpr char ProgramTitle[] = "電子ミルバネ";
// Who holds the copyright, as the title bar and --version say it.
inline constexpr char Copyright[] = "(C) 2026 電子ミルバネ開発チーム";
