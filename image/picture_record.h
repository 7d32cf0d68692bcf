// What made a written file, kept inside it: a line of text (a digest of the job that wrote
// it) that a later run compares with its own job's, so that a file is kept only when it is
// the one that job would write. A PNG (and an APNG) holds it in a tEXt chunk before its
// pictures, a JPEG in a comment segment with the file's whole length, a viewer page in a
// comment just before its end, a .glb model in its asset's extras.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

// The PNG tEXt chunk's keyword and the other formats' tag.
constexpr char kRecordKeyword[] = "zelmora-job";

// The comment segment a JPEG's record goes in, put after its JFIF header; the length it
// names is the whole file's, so that a JPEG cut short and closed again is not taken whole.
void AddJpegRecord(std::vector<BYTE>& jpeg, const std::string& record);
// The viewer page's closing lines with the record before "</html>".
std::string PageEndWithRecord(const std::string& record);

// The record a finished file holds, read as a reader would check the file whole: a PNG's
// chunks followed from its signature to IEND at the file's end; a JPEG's length as its
// record says and its end marker; a page's record just before its last "</html>"; a
// .glb's length as its header says. Empty when the file is not whole or holds no record.
std::string FinishedFileRecord(const std::wstring& path);
