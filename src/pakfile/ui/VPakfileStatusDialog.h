#pragma once

#include <QByteArray>
#include <QDialog>
#include <QVector>

class QPlainTextEdit;

// What the "Pakfile Status" dialog shows, read when it opens.
struct VPakfileStatus
{
    int lumpVersion = 0;
    int lumpOffset = 0;
    int lumpLength = 0;
    QByteArray comment;
    // One per PakfileStatistics::labels() row.
    QVector<int> counts;
    int total = 0;
};

// "Pakfile Status": where the pakfile lump lies, its comment (editable) and
// the stored entries counted by type. "Close" accepts it.
class VPakfileStatusDialog : public QDialog
{
    Q_OBJECT

public:
    VPakfileStatusDialog(const VPakfileStatus &status, QWidget *parent);

    // The comment as shown: up to its first NUL, Latin-1, trimmed.
    static QString commentText(const QByteArray &comment);
    // The edited comment, trimmed, as 8-bit text.
    QByteArray comment() const;
    // The text differs from what the dialog opened with.
    bool commentEdited() const;

private:
    QPlainTextEdit *m_comment = nullptr;
    QString m_shownComment;
};
