#include "CFileClass.h"

CFileClass::CFileClass()
    : QObject(nullptr)
    , CPath(QString(), true)
    , m_displayName(QStringLiteral("untitled"))
{}

CFileClass::~CFileClass() = default;
