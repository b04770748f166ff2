#pragma once
// Reads Access tables and Excel worksheets through the separate program velmora-reader, run
// with a time and a memory limit: the file libraries can hang or crash on a damaged file, and
// that must cost the program an error message, never its life. Every failure (missing file,
// missing table, damaged file, a crash, a hang, unreadable output) becomes a DataError whose
// text names the file's full path and what went wrong.
#include "data/HostSystem.h"
#include "data/RosterTable.h"
#include "data/TextTable.h"

#include <QString>

class IsolatedReader {
public:
    struct Limits {
        int timeoutMs = 5000; // the largest real files take well under 0.1 s
        qint64 memoryBytes = 1024LL * 1024 * 1024; // address space of the reader process
    };

    // One table of an Access database, read whole.
    static TextTable readMdbTable(const QString& mdbPath, const QString& tableName);
    // The first worksheet of an .xls workbook; columns are named A, B, C ...
    static TextTable readFirstWorksheet(const QString& xlsPath);

    // The reader program: beside the running executable, or ../libexec/velmora/ from it in an
    // installed layout. Empty when there is none.
    static QString readerProgram();
    // Its file name: velmora-reader, or velmora-reader.exe on Windows.
    static QString readerProgramName(HostSystem system = thisSystem());

    static Limits limits();
    static void setLimits(const Limits& limits);

    // Runs the given program instead of the one found by readerProgram(); an empty text
    // restores the search. Lets tests put stand-ins in its place that crash or hang.
    static void setProgram(const QString& program);
};

// One club roster table read whole through the isolated reader; throws DataError naming the
// file's full path.
RosterTable openRosterTable(const QString& mdbPath, const QString& tableName);
