#pragma once

#include "VTFMassOptions.h"

#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QString>
#include <QVector>

#include <memory>

class CFileVTF;
class CSaveFile;
class QFile;
class VTFMassSink;

// One bulk texture conversion: every file of the source format below the
// source folder whose name passes the filter is converted into the target
// folder: texture to texture, texture to image files, or image to texture.
//
// Nothing a user owns is lost on the way: every output goes to a temporary
// file that replaces the target only when it was written whole, so a texture
// converted in place keeps its old bytes when the write fails. The folder
// tree is listed before anything is written, and a target folder inside the
// source folder is not walked. No two sources write one output: the second
// hears "Destination exists for", "Overwrite" or not.
class VTFMassConverter
{
public:
    // The sink may be null.
    VTFMassConverter(const VTFMassOptions &options, VTFMassSink *sink);
    virtual ~VTFMassConverter();
    VTFMassConverter(const VTFMassConverter &) = delete;
    VTFMassConverter &operator=(const VTFMassConverter &) = delete;

    // The preparation and the walk. False when the preparation ended the run
    // (the sink was told why, except for two image formats, which the window
    // never allows).
    bool run();

    // Checks the name filter, the formats and both folders, creating the
    // target folder when it is missing.
    bool prepare();
    // Every entry below the source folder, in the order the file system
    // gives them, until the sink asks to stop. Needs prepare().
    void walk();
    // The per-file steps for one file below the source folder: skipped
    // silently unless its extension and name match. Needs prepare().
    void convertFile(const QString &path);

    // The folders as absolute paths, once prepare() got that far.
    const QString &sourceDirectory() const { return m_source; }
    const QString &targetDirectory() const { return m_target; }

    static bool isTextureFormat(const QString &format);
    // The level-of-detail data word of the window's four values: bytes clamp
    // X, clamp Y, X360 clamp X, X360 clamp Y, as the texture editor reads it.
    static quint32 levelOfDetailWord(const std::array<quint8, 4> &values);
    // A texture's resource by the rule: unchecked removes it; checked sets
    // ("Modify") or keeps ("Skip") one the texture has, and adds a missing one
    // for "Modify" with "All" and for "Skip" with "Existing".
    static void applyResource(CFileVTF &document, quint32 tag, const VTFMassResourceRule &rule,
                              quint32 value);

protected:
    // A new, unopened output for the path; tests make one fail.
    virtual std::unique_ptr<CSaveFile> newOutput(const QString &path) const;

private:
    void report(const char *text, const QString &name = QString());
    // Logs a failed save of `output`, with the file's reason or folder message.
    void reportSave(const CSaveFile &file, const char *text, const QString &output);
    bool sameDirectory() const;
    bool isSplitExport() const;
    // Every entry to visit, directories before their contents.
    QVector<QFileInfo> listEntries() const;
    void visitDirectory(const QFileInfo &entry);
    bool matches(const QFileInfo &file) const;
    // The output of a file's conversion (not for split exports).
    QString outputFor(const QString &relativePath) const;
    QString outputDirectory(const QString &relativePath) const;
    void claimOutputs(const QVector<QFileInfo> &entries);
    bool outputTaken(const QString &output, const QString &source) const;

    QString quotedSource(const QString &path) const;
    QString quotedTarget(const QString &path) const;

    // The conversions (VTFMassConversions.cpp).
    // The texture of an open source, closed after; null once the reader's
    // reason and "Unable to read" are logged.
    std::unique_ptr<CFileVTF> readTexture(QFile &source);
    void textureToTexture(QFile &source, const QString &output);
    void textureToImages(QFile &source, const QString &relativePath, const QString &output);
    void imageToTexture(QFile &source, const QString &output);
    void applyTextureFlags(CFileVTF &document, bool clear) const;
    void writeTexture(CFileVTF &document, const QString &output);
    void writeImage(const CFileVTF &document, int mip, int frame, int face, int slice,
                    const QString &output);

    VTFMassOptions m_options;
    VTFMassSink *m_sink = nullptr;
    QRegularExpression m_pattern;
    QString m_source;
    QString m_target;
    // The path a file is reported by while it is in hand.
    QString m_current;
    // Output -> the source allowed to write it.
    QHash<QString, QString> m_owners;
    // Images a split export wrote in this run.
    QSet<QString> m_written;
};
