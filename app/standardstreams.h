#ifndef STANDARDSTREAMS_H
#define STANDARDSTREAMS_H

#include <QString>

#include <cstdio>

// Writes the text to standard output or standard error: as UTF-8 into a terminal, a file or a
// pipe, and on a Windows console as the characters themselves, which the console shows
// whatever its code page.
void writeText(FILE *stream, const QString &text);

// Reads the next line of standard input into line, without its line end (LF or CR LF): UTF-8
// from a terminal, a file or a pipe, the characters as typed on a Windows console. Returns false
// at the end of the input.
bool readLine(QString &line);

#endif // STANDARDSTREAMS_H
