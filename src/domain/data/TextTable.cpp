#include "data/TextTable.h"

#include "data/TextTableFormat.h"

namespace {

class Cursor {
public:
    explicit Cursor(const QByteArray& bytes) : data(bytes.constData()), left(bytes.size()) { }

    bool u8(unsigned char& v)
    {
        if (left < 1)
            return false;
        v = static_cast<unsigned char>(*data++);
        --left;
        return true;
    }
    bool u32(uint32_t& v)
    {
        if (left < 4)
            return false;
        v = 0;
        for (int i = 0; i < 4; ++i)
            v |= uint32_t(static_cast<unsigned char>(data[i])) << (8 * i);
        data += 4;
        left -= 4;
        return true;
    }
    bool text(QString& s)
    {
        uint32_t n = 0;
        if (!u32(n) || n > uint64_t(left))
            return false;
        s = QString::fromUtf8(data, static_cast<qsizetype>(n));
        data += n;
        left -= n;
        return true;
    }
    bool skip(qsizetype n)
    {
        if (n > left)
            return false;
        data += n;
        left -= n;
        return true;
    }
    qsizetype remaining() const { return left; }

private:
    const char* data;
    qsizetype left;
};

} // namespace

std::optional<TextTable> decodeTextTable(const QByteArray& bytes, QString* why)
{
    auto fail = [why](const char* reason) -> std::optional<TextTable> {
        if (why)
            *why = QString::fromLatin1(reason);
        return std::nullopt;
    };
    const auto magic = TextTableFormat::magic;
    if (!bytes.startsWith(QByteArray(magic.data(), qsizetype(magic.size()))))
        return fail("it does not start with the table mark");
    Cursor in(bytes);
    in.skip(qsizetype(magic.size()));

    TextTable table;
    uint32_t ncols = 0;
    if (!in.u32(ncols) || ncols > TextTableFormat::maxColumns)
        return fail("the column count is missing or out of range");
    table.columns.reserve(ncols);
    for (uint32_t c = 0; c < ncols; ++c) {
        QString name;
        if (!in.text(name))
            return fail("a column name is cut short");
        table.columns << name;
    }
    for (;;) {
        unsigned char mark = 0;
        if (!in.u8(mark))
            return fail("the end mark is missing");
        if (mark == 0)
            break;
        if (mark != 1)
            return fail("a row mark is wrong");
        if (table.rows.size() >= TextTableFormat::maxRows)
            return fail("too many rows");
        QStringList row;
        row.reserve(ncols);
        for (uint32_t c = 0; c < ncols; ++c) {
            QString cell;
            if (!in.text(cell))
                return fail("a row is cut short");
            row << cell;
        }
        table.rows.push_back(std::move(row));
    }
    uint32_t count = 0;
    if (!in.u32(count) || count != table.rows.size())
        return fail("the row count does not match the rows");
    if (in.remaining() != 0)
        return fail("there are bytes after the end mark");
    return table;
}
