#pragma once

#include "CVector3.h"
#include "IFileClass.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVector>

#include <array>

class CScanFoundList;
struct MaterialKeys;

// The 408-byte header of a studio model, field by field in file order. The
// offsets the reader follows count from the start of the file.
struct MDLHeader
{
    qint32 version = 0;
    qint32 checksum = 0;
    QByteArray name = QByteArray(64, '\0'); // 64 raw bytes
    qint32 fileLength = 0;
    CVector3 eyePosition;
    CVector3 illuminationPosition;
    CVector3 hullMinimum;
    CVector3 hullMaximum;
    CVector3 viewBoundingBoxMinimum;
    CVector3 viewBoundingBoxMaximum;
    qint32 flags = 0;
    qint32 boneCount = 0;
    qint32 boneOffset = 0;
    qint32 boneControllerCount = 0;
    qint32 boneControllerOffset = 0;
    qint32 hitboxCount = 0;
    qint32 hitboxOffset = 0;
    qint32 localAnimationCount = 0;
    qint32 localAnimationOffset = 0;
    qint32 localSequenceCount = 0;
    qint32 localSequenceOffset = 0;
    qint32 activityListVersion = 0;
    qint32 eventsIndexed = 0;
    qint32 textureCount = 0;
    qint32 textureOffset = 0;
    qint32 textureDirectoryCount = 0;
    qint32 textureDirectoryOffset = 0;
    qint32 skinReferenceCount = 0;
    qint32 skinFamilyOffset = 0;
    qint32 skinReferenceOffset = 0;
    qint32 bodyPartCount = 0;
    qint32 bodyPartOffset = 0;
    qint32 attachmentCount = 0;
    qint32 attachmentOffset = 0;
    qint32 localNodeCount = 0;
    qint32 localNodeOffset = 0;
    qint32 localNodeNameOffset = 0;
    qint32 flexDescriptionCount = 0;
    qint32 flexDescriptionOffset = 0;
    qint32 flexControllerCount = 0;
    qint32 flexControllerOffset = 0;
    qint32 flexRuleCount = 0;
    qint32 flexRuleOffset = 0;
    qint32 inverseKinematicChainCount = 0;
    qint32 inverseKinematicChainOffset = 0;
    qint32 mouthsCount = 0;
    qint32 mouthsOffset = 0;
    qint32 localPoseParameterCount = 0;
    qint32 localPoseParameterOffset = 0;
    qint32 surfacePropOffset = 0;
    qint32 keyvalueOffset = 0;
    qint32 keyvalueCount = 0; // length of the key-value text in bytes
    qint32 inverseKinematicLockCount = 0;
    qint32 inverseKinematicLockOffset = 0;
    float mass = 0;
    qint32 contents = 0;
    qint32 includeModelCount = 0;
    qint32 includeModelOffset = 0;
    qint32 virtualModel = 0;
    qint32 animationBlockNameOffset = 0;
    qint32 animationBlockCount = 0;
    qint32 animationBlockOffset = 0;
    qint32 animationBlockModel = 0;
    qint32 boneTableNameOffset = 0;
    qint32 vertexBase = 0;
    qint32 offsetBase = 0;
    qint8 directionalDotProduct = 0;
    qint8 rootLod = 0;
    qint8 allowedRootLods = 0;
    qint8 reservedByte = 0;
    qint32 reservedInteger = 0;
    qint32 flexControllerUiCount = 0;
    qint32 flexControllerUiOffset = 0;
    // Scale of fixed-point vertex animation, 0 in most models; not interpreted.
    float vertexAnimationScale = 0;
    qint32 reservedAfterScale = 0;
    qint32 studioHdr2Offset = 0; // 0: no second header
    qint32 reservedTail = 0;
};

// The optional 256-byte second header, stored as read.
struct MDLHeader2
{
    std::array<qint32, 3> leadingIntegers{};
    float floatValue = 0;
    qint32 integerValue = 0;
    std::array<qint32, 59> reserved{};
};

// A texture record: 16 integers, the first the offset of the texture's name
// from the start of the record.
using MDLTextureRecord = std::array<qint32, 16>;

struct MDLIncludeModel
{
    qint64 position = 0;    // of the record in the file
    qint32 labelOffset = 0; // both relative to the record
    qint32 nameOffset = 0;
    QByteArray label; // not read: always empty
    QByteArray name;
};

// A studio model (".mdl"), read to find the files it needs: its companion
// files, its collision model, the models it includes and its materials.
// Models are never written.
class CFileMDL : public IFileClass<CFileMDL>
{
public:
    CFileMDL();
    ~CFileMDL() override;

    using IFileClass<CFileMDL>::write;
    // False, without an error text, on a wrong signature, a header or second
    // header past the end of the data, or a texture, texture-folder, key-value
    // or include table that is negative, implausibly long or does not fit in
    // the data. Names whose offsets point outside the data come out empty.
    bool read(QDataStream &stream) override;
    // Always false: models are not saved.
    bool write(QDataStream &stream) override;

    // Records, in this order: the companion files (".vvd", ".dx90.vtx",
    // ".dx80.vtx", ".sw.vtx", ".vtx", ".phy") when the model was loaded from
    // below the game folder, scanning the collision model; the included models,
    // each loaded and scanned; the materials, each texture name in each
    // texture folder, scanned as material scripts with `keys`. `baseDirectory`
    // is the game folder ending in "/", or empty to record paths as built.
    void scanDependencies(CScanFoundList &found, const MaterialKeys &keys,
                          const QString &baseDirectory, QStringList *errors = nullptr) const;

    // Loads base + entry as a model and scans it; logs "Unable to read" when it
    // does not load (a missing file included).
    static void followModel(const QString &entry, CScanFoundList &found, const MaterialKeys &keys,
                            const QString &baseDirectory, QStringList *errors);

    // Caps on tables no real model comes near; beyond them a file is refused
    // rather than scanned for hours.
    static constexpr qint32 MaxTextures = 1024;
    static constexpr qint32 MaxTextureDirectories = 64;
    static constexpr qint32 MaxIncludeModels = 256;
    // Names are paths; longer ones are cut.
    static constexpr qint64 MaxNameLength = 1024;

    MDLHeader header;
    MDLHeader2 header2;
    // Set only by the model header editor.
    QByteArray surfaceProp;

    QVector<MDLTextureRecord> textureRecords;
    QList<QByteArray> textureNames; // normalised
    QVector<qint32> textureDirectoryOffsets;
    QList<QByteArray> textureDirectories; // normalised
    QStringList keyvalueLines;
    QList<MDLIncludeModel> includeModels;

private:
    void scanCompanions(CScanFoundList &found, const MaterialKeys &keys,
                        const QString &baseDirectory, QStringList *errors) const;
    void scanIncludes(CScanFoundList &found, const MaterialKeys &keys, const QString &baseDirectory,
                      QStringList *errors) const;
    void scanMaterials(CScanFoundList &found, const MaterialKeys &keys,
                       const QString &baseDirectory, QStringList *errors) const;
};
