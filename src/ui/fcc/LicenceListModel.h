#pragma once
// The prefix list as an item model for the page's list view: one row per list line,
// shown as Latin-1 text. The lines stay in the compact LicenceList; the view asks only
// for the rows it paints.
#include "licence/LicenceList.h"

#include <QAbstractListModel>

class LicenceListModel : public QAbstractListModel {
    Q_OBJECT

public:
    explicit LicenceListModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    const LicenceList& lines() const { return m_lines; }
    // The text of row as the page shows it.
    QString lineText(int row) const;
    // Appends the lines of a build behind the rows already there.
    void appendLines(LicenceList&& lines);
    void clear();

private:
    LicenceList m_lines;
};
