// mdbwrite: turns a CSV file into a Jet 4 database holding one table.
//
//   mdbwrite [--type COLUMN=TYPE]... OUT.mdb TABLE IN.csv
//
// Columns are Text unless --type names another type for them: long, double, date or bool.
// An unquoted empty field is written as a null, a quoted empty field as an empty text.
#include "Csv.h"
#include "Jet4Writer.h"

#include <algorithm>
#include <cstring>
#include <iostream>
#include <map>

namespace {

int usage()
{
    std::cerr << "usage: mdbwrite [--type COLUMN=TYPE]... OUT.mdb TABLE IN.csv\n"
                 "  TYPE is text, long, double, date or bool (default text)\n";
    return 2;
}

std::string lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
    return s;
}

} // namespace

int main(int argc, char** argv)
{
    std::map<std::string, jet4::ColumnType> types; // by lower-case column name
    std::vector<std::string> positional;
    try {
        for (int i = 1; i < argc; ++i) {
            const std::string arg = argv[i];
            if (arg == "--type") {
                if (++i >= argc)
                    return usage();
                const std::string typeArg = argv[i];
                const auto eq = typeArg.find('=');
                if (eq == std::string::npos || eq == 0)
                    return usage();
                types[lower(typeArg.substr(0, eq))] = jet4::columnTypeFromName(typeArg.substr(eq + 1));
            } else if (arg == "--help" || arg == "-h") {
                usage();
                return 0;
            } else {
                positional.push_back(arg);
            }
        }
        if (positional.size() != 3)
            return usage();
        const std::string& out = positional[0];
        const jet4::CsvTable csv = jet4::readCsvFile(positional[2]);

        jet4::Table table;
        table.name = positional[1];
        for (const std::string& name : csv.header) {
            auto it = types.find(lower(name));
            table.columns.push_back({ name, it == types.end() ? jet4::ColumnType::Text : it->second });
            if (it != types.end())
                types.erase(it);
        }
        if (!types.empty()) {
            std::cerr << "mdbwrite: " << positional[2] << " has no column " << types.begin()->first << "\n";
            return 1;
        }
        table.rows = csv.rows;
        jet4::writeDatabase(out, { table });
    } catch (const std::exception& e) {
        std::cerr << "mdbwrite: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
