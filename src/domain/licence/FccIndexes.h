#pragma once
// The call indexes of the licence files the program reads: one index for each file, made
// once and shared by every page that reads that file, so the net page and the FCC page
// never hold two indexes of one file, nor two that disagree. Owned by the net session.
#include "licence/FccIndexLoader.h"

#include <QString>

#include <map>
#include <memory>

class FccIndexes {
public:
    FccIndexes() = default;
    FccIndexes(const FccIndexes&) = delete;
    FccIndexes& operator=(const FccIndexes&) = delete;

    // The index of the licence file at path (made when first asked for, not started).
    // Paths that name the same file give the same index.
    FccIndexLoader& forFile(const QString& path);
    // How many indexes are held.
    int count() const { return int(m_loaders.size()); }

private:
    std::map<QString, std::unique_ptr<FccIndexLoader>> m_loaders; // by absolute, clean path
};
