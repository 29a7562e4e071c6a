#include "SiblingName.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>
#include <cstring>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {

// Where the system cannot say: the limit of every common file system.
constexpr int DefaultMaxLength = 255;
constexpr int HashDigits = 8;
constexpr int RandomLetters = 6;
constexpr char TemporaryEnd[] = ".tmp";
constexpr char Letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";

// The first bytes of `name`, at most `length`, not ending inside a UTF-8
// character.
QByteArray cutAtCharacter(const QByteArray &name, int length)
{
    if (length >= name.size())
        return name;
    int end = qMax(length, 0);
    while (end > 0 && (quint8(name[end]) & 0xC0) == 0x80)
        --end;
    return name.left(end);
}

} // namespace

namespace SiblingName {

namespace {

QString temporaryWith(const QString &target, const QString &random, int room)
{
    return of(target, QLatin1Char('.') + random + QLatin1String(TemporaryEnd), room);
}

} // namespace

int maxLength(const QString &target)
{
#ifdef Q_OS_UNIX
    const QByteArray folder = QFile::encodeName(QFileInfo(target).absolutePath());
    const long limit = ::pathconf(folder.constData(), _PC_NAME_MAX);
    if (limit > 0 && limit < DefaultMaxLength * 16)
        return int(limit);
#else
    Q_UNUSED(target)
#endif
    return DefaultMaxLength;
}

QString of(const QString &target, const QString &suffix, int room)
{
    const QFileInfo info(target);
    const QByteArray name = QFile::encodeName(info.fileName());
    const QByteArray tail = QFile::encodeName(suffix);
    const int limit = maxLength(target) - room;
    QByteArray sibling = name + tail;
    if (sibling.size() > limit) {
        const QByteArray hash =
            QCryptographicHash::hash(name, QCryptographicHash::Sha1).toHex().left(HashDigits);
        sibling = cutAtCharacter(name, limit - 1 - HashDigits - tail.size()) + '.' + hash + tail;
    }
    const QString folder = target.left(target.size() - info.fileName().size());
    return folder + QFile::decodeName(sibling);
}

QString backup(const QString &target)
{
    return of(target, QStringLiteral(".backup"));
}

QString temporary(const QString &target, int room)
{
    QString random(RandomLetters, QLatin1Char('0'));
    for (QChar &c : random)
        c = QLatin1Char(Letters[QRandomGenerator::global()->bounded(int(sizeof Letters) - 1)]);
    return temporaryWith(target, random, room);
}

bool isTemporary(const QString &target, const QString &name)
{
    // Temporaries of one target differ in their random letters alone: the
    // suffix is of one length, so a long name is cut at one place.
    const QByteArray model = QFile::encodeName(
        QFileInfo(temporaryWith(target, QString(RandomLetters, QLatin1Char('0')), 0)).fileName());
    const QByteArray candidate = QFile::encodeName(name);
    const int at = model.size() - int(sizeof TemporaryEnd - 1) - RandomLetters;
    if (candidate.size() != model.size() || at < 0 || !candidate.startsWith(model.left(at)) ||
        !candidate.endsWith(model.mid(at + RandomLetters)))
        return false;
    const QByteArray random = candidate.mid(at, RandomLetters);
    return std::all_of(random.begin(), random.end(),
                       [](char c) { return c != '\0' && std::strchr(Letters, c); });
}

} // namespace SiblingName
