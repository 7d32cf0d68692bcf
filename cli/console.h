// Text to standard output and standard error: the console's own wide text when there is a
// console, UTF-8 when the stream is a pipe or a file (as it is under a Unix shell).
#pragma once
#include <string>

// Every control character but line breaks and tabs shown escaped (ESC as \x1b): names
// from files and command lines reach the terminal as text, never as its commands.
std::wstring ShowableText(const std::wstring& text);
void PrintOut(const std::wstring& text);
void PrintErr(const std::wstring& text);
// A line that says how far a long drawing is, rewritten in place on a terminal (standard
// error a console) and rubbed out by the next line printed; nothing into a pipe or a file.
bool ShowsProgress();
void ShowProgress(const std::wstring& line);
void EndProgress();
// The system's own words for an error code, without the trailing period and line break.
std::wstring SystemMessage(unsigned long error);
