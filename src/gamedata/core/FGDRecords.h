#pragma once

#include "CVector3.h"

#include <QByteArray>
#include <QColor>
#include <QList>
#include <QVector>

// The records of an entity definition document. Texts are 8-bit byte strings
// as the file holds them; every record is a plain value.

// Declaration kinds; the code is what the document stores.
enum FGDClassType
{
    FGDBaseClass = 0,
    FGDPointClass,
    FGDNPCClass,
    FGDSolidClass,
    FGDKeyFrameClass,
    FGDMoveClass,
    FGDFilterClass,
    FGDClassTypeCount
};

// Keyvalue, input and output types, in the order names are matched.
enum FGDParameterType
{
    FGDVoid = 0,
    FGDChoices,
    FGDString,
    FGDInteger,
    FGDFloat,
    FGDAxis,
    FGDAngle,
    FGDColor255,
    FGDColor1,
    FGDFilterclass,
    FGDMaterial,
    FGDNodeDest,
    FGDNpcclass,
    FGDOrigin,
    FGDPointentityclass,
    FGDScene,
    FGDSidelist,
    FGDSound,
    FGDSprite,
    FGDStudio,
    FGDTargetDestination,
    FGDTargetNameOrClass,
    FGDTargetSource,
    FGDVecline,
    FGDVector,
    FGDFlags,
    FGDParameterTypeCount
};

struct FGDChoice
{
    QByteArray value;
    QByteArray text;
};

struct FGDKeyvalue
{
    QByteArray name; // as written, blanks before "(" included
    qint32 type = FGDString;
    QByteArray displayName;
    QByteArray defaultValue;
    QByteArray description;
    bool readonly = false;
    bool sphereRadius = false; // named by one of the class's sphere() helpers
    QVector<FGDChoice> choices;
};

struct FGDInputOutput
{
    QByteArray name;
    qint32 type = FGDVoid;
    QByteArray description;
};

struct FGDLine
{
    QColor color = QColor(255, 255, 255);
    QByteArray source;
    QByteArray target;
};

struct FGDCylinder
{
    QColor color = QColor(255, 255, 255);
    QByteArray source;
    QByteArray target;
    // Shown unnamed by the editor.
    QByteArray value3;
    QByteArray value4;
    QByteArray value5;
    QByteArray value6;
};

struct FGDAutoVisgroupMinor
{
    QByteArray name;
    QList<QByteArray> entities; // entity classnames
};

struct FGDAutoVisgroup
{
    QByteArray name;
    QVector<FGDAutoVisgroupMinor> minors;
};

struct FGDEntityClass
{
    enum HelperFlag : quint32
    {
        HasColor = 1,          // a color() helper was given
        StudioFromKeyvalue = 2 // studio() with no model: the model keyvalue is shown
    };
    static constexpr int FlagCount = 32;

    FGDEntityClass();

    qint32 type = FGDBaseClass;
    QList<QByteArray> bases;
    QByteArray iconSprite;
    QByteArray studioPropModel;
    QVector<FGDLine> lines;
    QVector<FGDCylinder> cylinders;
    quint32 helperFlags = 0;
    QColor color = QColor(255, 0, 255);
    QByteArray studioModel;
    CVector3 sizeMin;
    bool hasSizeMax = false;
    CVector3 sizeMax;
    QByteArray classname;
    QByteArray description;
    qint32 flagMask = 0;
    qint32 flagDefaults = 0;
    // Always FlagCount entries: the text of the flag 2^index. A new class
    // shares one list of empty texts until a flag text is set.
    QVector<QByteArray> flagTexts;
    QVector<FGDKeyvalue> keyvalues; // a flags keyvalue is not kept here
    QVector<FGDInputOutput> inputs;
    QVector<FGDInputOutput> outputs;
};
