// The outbox writing the journal's own tables, for changes that came from the server: a
// catch-up of many lines is one transaction instead of one per line.
#include "journal/NetOutbox.h"

#include "journal/OutboxStatement.h"

using namespace outbox_sql;

bool NetOutbox::beginBatch()
{
    // Lines the server holds can be read again from the last change kept, which is written
    // in the same transaction: no wait for the disk is needed.
    if (batch || !exec("PRAGMA synchronous=NORMAL") || !exec("BEGIN IMMEDIATE"))
        return false;
    batch = true;
    return true;
}

bool NetOutbox::commitBatch()
{
    if (!batch)
        return false;
    batch = false;
    const bool good = exec("COMMIT");
    if (!good) {
        fail("written");
        exec("ROLLBACK");
    }
    exec("PRAGMA synchronous=FULL");
    return good;
}

bool NetOutbox::markUnsaved(std::int64_t net)
{
    Statement st(*statements, db, "UPDATE nets SET unsaved = 1 WHERE id = ?");
    return st.bind(net).run();
}

bool NetOutbox::writeEntry(std::int64_t net, const JournalEntry& e, bool marksUnsaved)
{
    Statement st(*statements, db,
        "INSERT OR REPLACE INTO entries(net_id, seq, date_line, number, call, name, city, state, "
        "line, source, utc, status, logged_by) VALUES(?,?,?,?,?,?,?,?,?,?,?,?,?)");
    st.bind(net).bind(e.seq).bind(std::int64_t(e.dateLine ? 1 : 0)).bind(std::int64_t(e.number));
    st.bind(e.call).bind(e.name).bind(e.city).bind(e.state).bind(e.text).bind(sourceName(e.source));
    st.bind(e.utcMs).bind(e.status).bind(e.loggedBy);
    return st.run() && (!marksUnsaved || markUnsaved(net));
}

bool NetOutbox::writeDeleted(
    std::int64_t net, std::int64_t seq, std::optional<std::int64_t> deletedUtcMs, bool marksUnsaved)
{
    Statement st(*statements, db,
        deletedUtcMs ? "UPDATE entries SET deleted_utc = ? WHERE net_id = ? AND seq = ?"
                     : "UPDATE entries SET deleted_utc = NULL WHERE net_id = ? AND seq = ?");
    if (deletedUtcMs)
        st.bind(*deletedUtcMs);
    return st.bind(net).bind(seq).run() && (!marksUnsaved || markUnsaved(net));
}

bool NetOutbox::writeStatus(std::int64_t net, std::int64_t seq, const QString& status)
{
    Statement st(*statements, db, "UPDATE entries SET status = ? WHERE net_id = ? AND seq = ?");
    return st.bind(status).bind(net).bind(seq).run();
}

bool NetOutbox::writeIdentification(std::int64_t net, std::int64_t utcMs)
{
    Statement st(*statements, db, "INSERT INTO identifications(net_id, utc) VALUES(?, ?)");
    return st.bind(net).bind(utcMs).run();
}
