#pragma once

#include "IFileClass.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVector>

class CScanFoundList;
struct MaterialKeys;

// One named block of a collision model's text section, its key/value pairs in
// file order (duplicates kept).
struct PHYTextBlock
{
    QString name;
    QVector<QPair<QString, QString>> pairs;
};

// A collision model (".phy"): a 16-byte header, the solids as opaque blocks
// and a text section of named key/value blocks. The system reads these files
// to find the gib and ragdoll models their "break" blocks name.
//
// Layout (little-endian): four 32-bit header words, the third the number of
// solids; per solid a 32-bit length and that many bytes; then the text up to
// the first NUL or the end, lines separated by LF.
class CFilePHY : public IFileClass<CFilePHY>
{
public:
    CFilePHY();
    ~CFilePHY() override;

    using IFileClass<CFilePHY>::write;
    // Fails with "Read Error: Incomplete" when a solid count or length is
    // negative or larger than the bytes that follow.
    bool read(QDataStream &stream) override;
    // The header with the number of solids held, the solids, and the text
    // blocks in a form read() takes back into the same blocks.
    bool write(QDataStream &stream) override;

    // Records the models that the "model" and "ragdoll" pairs of the "break"
    // blocks name ("models/" + value, ".mdl" added unless present) and scans
    // every one found on disk as a studio model, its materials with `keys`.
    // `baseDirectory` is the game folder ending in "/", or empty to record
    // paths as built.
    void scanDependencies(CScanFoundList &found, const MaterialKeys &keys,
                          const QString &baseDirectory, QStringList *errors = nullptr) const;

    qint32 headerWord1 = 0;
    qint32 headerWord2 = 0;
    // As read; write() stores the size of `solids` instead.
    qint32 solidCount = 0;
    qint32 headerWord4 = 0;
    QList<QByteArray> solids;
    QList<PHYTextBlock> textBlocks;

private:
    void parseText(const QByteArray &text);
};
