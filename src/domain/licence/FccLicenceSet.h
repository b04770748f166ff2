#pragma once
// The licence files of an installation as one set: EN.dat, HD.dat, AM.dat and dates.txt
// as one import left them, replaced by the next import in one step.
//
// An import writes its set into a folder of its own below the FCC folder (FCCraw/set-N)
// and then makes it current by replacing one small pointer file, FCCraw/current, which
// names that folder. Replacing a file by renaming is atomic, so whoever reads the
// pointer finds either the old set or the new one, each whole, whenever the import is
// killed or the disk fills. Without a pointer (an installation whose FCCraw/EN.dat was
// copied there by hand, or that was imported before sets were kept) the files in
// FCCraw itself are the set.
//
// Every reader of the licence files goes through CurrentLicenceFile(). QtCore only.
#include <QString>

#include <functional>
#include <memory>

// The folder that holds the current set of fccFolder: the one the pointer file names,
// when it names a set folder that holds EN.dat; else fccFolder itself.
QString FccCurrentSetFolder(const QString& fccFolder);
// The file at path (EN.dat, HD.dat, AM.dat or dates.txt, named in the FCC folder) as the
// current set holds it; path itself when its folder has no current set.
QString CurrentLicenceFile(const QString& path);

// Writes a new set beside the current one and makes it current in one step. Dropped
// before commit(), it removes what it wrote and the current set stays as it was. For
// one import at a time per FCC folder (begin() locks the folder).
class FccSetWriter {
public:
    explicit FccSetWriter(const QString& fccFolder);
    ~FccSetWriter();
    FccSetWriter(const FccSetWriter&) = delete;
    FccSetWriter& operator=(const FccSetWriter&) = delete;

    // Locks the folder, removes what imports that were stopped left behind, and makes
    // the folder the new files go into. False, with the reason, when it cannot.
    bool begin(QString* error);
    // Where the new set's files are written until commit().
    QString folder() const { return m_staging; }
    // Makes the files in folder() the current set: the folder gets its set name, then the
    // pointer names it (the one step), then the set that was current is removed. step()
    // is told "named", "switched" and "cleaned" as each is done. False, with the reason,
    // when the new set could not be made current; the old one then still is.
    bool commit(QString* error, const std::function<void(const char* step)>& step = {});

private:
    struct Lock;
    QString m_root;
    QString m_name; // set-N
    QString m_staging; // set-N.importing, then set-N
    std::unique_ptr<Lock> m_lock;
    bool m_committed = false;
};
