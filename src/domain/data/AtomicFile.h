#pragma once
// Writing a whole file so that it either completes or changes nothing.
#include <QByteArray>
#include <QString>

// Writes data to a temporary file beside name, checks every write and the flush to disk,
// and only then renames it over name. On any failure the file that was there before stays
// byte for byte as it was, the temporary file is removed, false is returned and *error
// holds the reason.
bool writeFileAtomically(const QString& name, const QByteArray& data, QString* error);
