// One table of an Access database through mdbtools, read defensively: the catalog is read
// with only the columns needed to find the table (the property blobs, whose parser can loop
// for ever on damaged files, are never touched), every count is checked against the file,
// and what comes back must agree with what the table definition says.
#include "Exports.h"
#include "ReaderError.h"
#include "data/TextTableFormat.h"

// The Debian header wraps glib in extern "C"; glib must come first. An mdbtools built
// without glib (the Windows build) brings its own stand-in through its header.
#if __has_include(<glib.h>)
#include <glib.h>
#define VELMORA_READER_GLIB 1
#elif defined(_WIN32)
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif
#include <mdbtools.h>

#include <cstring>
#include <memory>
#include <sys/stat.h>
#include <vector>

namespace {

constexpr unsigned MaxColumns = 255; // Access allows no more
constexpr unsigned MaxCatalogRows = 100000;

struct CatalogItem {
    std::string name;
    int type = 0;
    unsigned long page = 0;
    unsigned long flags = 0;
};

struct TableDef {
    MdbTableDef* t = nullptr;
    ~TableDef()
    {
        if (t)
            mdb_free_tabledef(t);
    }
};

struct Database {
    MdbHandle* mdb = nullptr;
    ~Database()
    {
        if (mdb)
            mdb_close(mdb);
    }
};

// Column buffers bound to a table; each must hold mdb->bind_size bytes.
class Bindings {
public:
    Bindings(MdbTableDef* table, std::size_t columns, std::size_t size)
        : size(size), buffers(columns * size, 0), lengths(columns, 0)
    {
        for (std::size_t c = 0; c < columns; ++c)
            if (mdb_bind_column(table, int(c + 1), &buffers[c * size], &lengths[c]) == -1)
                throw ReaderError(
                    "the file is damaged (column " + std::to_string(c + 1) + " cannot be read)");
    }
    void clear()
    {
        for (std::size_t c = 0; c < lengths.size(); ++c) {
            buffers[c * size] = 0;
            lengths[c] = 0;
        }
    }
    std::string_view text(std::size_t c) const
    {
        const char* p = &buffers[c * size];
        return std::string_view(p, strnlen(p, size));
    }

private:
    std::size_t size;
    std::vector<char> buffers;
    std::vector<int> lengths;
};

void checkTable(MdbTableDef* table, const std::string& what)
{
    // An empty or unknown usage map makes mdbtools crash or scan at random.
    if (!table->usage_map || table->map_sz < 5 || table->usage_map[0] > 1)
        throw ReaderError("the file is damaged (" + what + " has no valid page map)");
    if (table->num_cols == 0 || table->num_cols > MaxColumns)
        throw ReaderError(
            "the file is damaged (" + what + " claims " + std::to_string(table->num_cols) + " columns)");
}

std::vector<CatalogItem> readCatalog(MdbHandle* mdb)
{
    MdbCatalogEntry entry {};
    entry.mdb = mdb;
    std::strcpy(entry.object_name, "MSysObjects");
    entry.object_type = MDB_TABLE;
    entry.table_pg = 2;
    TableDef catalog;
    catalog.t = mdb_read_table(&entry);
    if (!catalog.t)
        throw ReaderError("the file is damaged (its list of tables cannot be read)");
    checkTable(catalog.t, "the list of tables");
    if (!mdb_read_columns(catalog.t) || catalog.t->columns->len != catalog.t->num_cols)
        throw ReaderError("the file is damaged (its list of tables cannot be read)");

    const std::size_t size = mdb->bind_size;
    std::vector<char> id(size), name(size), type(size), flags(size);
    int len[4] = {};
    if (mdb_bind_column_by_name(catalog.t, const_cast<gchar*>("Id"), id.data(), &len[0]) == -1
        || mdb_bind_column_by_name(catalog.t, const_cast<gchar*>("Name"), name.data(), &len[1]) == -1
        || mdb_bind_column_by_name(catalog.t, const_cast<gchar*>("Type"), type.data(), &len[2]) == -1
        || mdb_bind_column_by_name(catalog.t, const_cast<gchar*>("Flags"), flags.data(), &len[3]) == -1)
        throw ReaderError("the file is damaged (its list of tables lacks a column)");
    mdb_rewind_table(catalog.t);

    std::vector<CatalogItem> items;
    for (;;) {
        id[0] = name[0] = type[0] = flags[0] = 0;
        if (!mdb_fetch_row(catalog.t))
            break;
        if (items.size() >= MaxCatalogRows)
            throw ReaderError("the file is damaged (its list of tables does not end)");
        CatalogItem item;
        item.name.assign(name.data(), strnlen(name.data(), size));
        item.type = std::atoi(type.data()) & 0x7F;
        item.page = std::strtoul(id.data(), nullptr, 10) & 0x00FFFFFF;
        item.flags = std::strtoul(flags.data(), nullptr, 10);
        items.push_back(std::move(item));
    }
    return items;
}

// The text case-folded, for comparing names without regard to case (Unicode rules).
#ifdef VELMORA_READER_GLIB
std::string folded(const std::string& text)
{
    if (!g_utf8_validate(text.data(), gssize(text.size()), nullptr))
        return text;
    gchar* f = g_utf8_casefold(text.data(), gssize(text.size()));
    std::string out(f);
    g_free(f);
    return out;
}
#else
// Without glib (Windows): Windows' own lower case of the UTF-16 text. The stand-in of
// mdbtools reads past the end of a damaged name, so it is not used.
std::string folded(const std::string& text)
{
    const int n
        = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), int(text.size()), nullptr, 0);
    if (n <= 0)
        return text;
    std::wstring wide(std::size_t(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), wide.data(), n);
    CharLowerBuffW(wide.data(), DWORD(n));
    const int m = WideCharToMultiByte(CP_UTF8, 0, wide.data(), n, nullptr, 0, nullptr, nullptr);
    std::string out(std::size_t(m), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), n, out.data(), m, nullptr, nullptr);
    return out;
}
#endif

// Dates as ISO text, without a time part when it is midnight.
std::string dateText(std::string_view text)
{
    constexpr std::string_view midnight = " 00:00:00";
    if (text.size() > midnight.size() && text.substr(text.size() - midnight.size()) == midnight)
        text.remove_suffix(midnight.size());
    return std::string(text);
}

} // namespace

void exportMdbTable(const std::string& path, const std::string& tableName, std::string& out)
{
    struct stat st { };
    if (::stat(path.c_str(), &st) != 0)
        throw ReaderError("the file does not exist or cannot be read");
    if (!S_ISREG(st.st_mode))
        throw ReaderError("it is not a file");

    Database db;
    db.mdb = mdb_open(path.c_str(), MDB_NOFLAGS);
    if (!db.mdb)
        throw ReaderError("it is not an Access database, or it cannot be read");
    if (db.mdb->f->jet_version > MDB_VER_ACCDB_2019 || !db.mdb->fmt || db.mdb->fmt->pg_size <= 0)
        throw ReaderError("it is not an Access database of a known version");
    const unsigned long pages = static_cast<unsigned long>(st.st_size / db.mdb->fmt->pg_size);
    mdb_set_date_fmt(db.mdb, "%Y-%m-%d %H:%M:%S");
    mdb_set_boolean_fmt_numbers(db.mdb);

    const std::vector<CatalogItem> catalog = readCatalog(db.mdb);
    const std::string wanted = folded(tableName);
    const CatalogItem* found = nullptr;
    std::string available;
    for (const CatalogItem& item : catalog) {
        if (item.type != MDB_TABLE)
            continue;
        // Names match without regard to case; an exact match wins over one that differs in case.
        if (folded(item.name) == wanted && (!found || item.name == tableName))
            found = &item;
        if (!(item.flags & 0x80000002u))
            available += (available.empty() ? "" : ", ") + item.name;
    }
    if (!found)
        throw ReaderError("it has no table \"" + tableName + "\""
            + (available.empty() ? std::string(" (it holds no tables)") : " (it holds: " + available + ")"));
    if (found->page < 3 || found->page >= pages)
        throw ReaderError("the file is damaged (the table \"" + tableName + "\" points outside the file)");

    MdbCatalogEntry entry {};
    entry.mdb = db.mdb;
    std::strncpy(entry.object_name, found->name.c_str(), MDB_MAX_OBJ_NAME);
    entry.object_type = MDB_TABLE;
    entry.table_pg = found->page;
    TableDef table;
    table.t = mdb_read_table(&entry);
    if (!table.t)
        throw ReaderError("the file is damaged (the table \"" + tableName + "\" cannot be read)");
    checkTable(table.t, "the table \"" + tableName + "\"");
    if (!mdb_read_columns(table.t) || table.t->columns->len != table.t->num_cols)
        throw ReaderError("the file is damaged (the columns of \"" + tableName + "\" cannot be read)");

    const std::size_t ncols = table.t->num_cols;
    std::vector<std::string> names;
    std::vector<int> types;
    for (std::size_t c = 0; c < ncols; ++c) {
        const auto* col = static_cast<const MdbColumn*>(g_ptr_array_index(table.t->columns, c));
        names.emplace_back(col->name, strnlen(col->name, sizeof col->name));
        types.push_back(col->col_type);
    }
    Bindings bound(table.t, ncols, db.mdb->bind_size);
    mdb_rewind_table(table.t);

    TextTableFormat::Encoder encoder(out);
    encoder.columns(names);
    const unsigned expected = table.t->num_rows;
    unsigned rows = 0;
    for (;;) {
        bound.clear();
        if (!mdb_fetch_row(table.t))
            break;
        if (++rows > expected)
            break;
        encoder.beginRow();
        for (std::size_t c = 0; c < ncols; ++c) {
            const std::string_view text = bound.text(c);
            switch (types[c]) {
            case MDB_BOOL:
                encoder.cell(text == "1" ? "True" : "False");
                break;
            case MDB_DATETIME:
                encoder.cell(dateText(text));
                break;
            default:
                encoder.cell(text);
                break;
            }
        }
    }
    // The format has no checksums; a table whose records do not add up is damaged.
    if (rows != expected)
        throw ReaderError("the file is damaged (the table \"" + tableName + "\" should hold "
            + std::to_string(expected) + " records, " + (rows > expected ? "more" : std::to_string(rows))
            + " were found)");
    encoder.finish();
}
