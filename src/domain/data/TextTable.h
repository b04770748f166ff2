#pragma once
// A table as text: column names and rows of cells, every row as long as the column list.
#include <QByteArray>
#include <QStringList>

#include <optional>
#include <vector>

struct TextTable {
    QStringList columns;
    std::vector<QStringList> rows;
};

// Decodes what the isolated reader wrote (TextTableFormat.h). Returns nothing when the bytes
// are not a complete, well-formed table; *why then says what was wrong.
std::optional<TextTable> decodeTextTable(const QByteArray& bytes, QString* why = nullptr);
