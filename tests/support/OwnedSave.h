#pragma once

#include "ChildRun.h"

#include <QFileInfo>
#include <QtTest>

#include <functional>
#include <grp.h>
#include <sys/stat.h>

// Saves of files of other users and groups, which must keep their owner,
// group and mode. Needs root, and a group besides root's and nobody's: one
// that exists is looked up ("G" in the rows), none is made.
namespace OwnedSave {

// "<old user>:<group> <mode> <saver> <new user>:<group> <mode>": the saver
// root, or nobody as a member of group G or not.
inline void addRows()
{
    QTest::addColumn<QString>("change");
    QTest::newRow("nobody's, saved by root") << "65534:65534 664 root 65534:65534 664";
    // A change of owner clears a set-group-id bit of a file its group runs.
    QTest::newRow("group G, saved by root") << "0:G 2750 root 0:G 2750";
    // Only root gives a file away; a group, anyone who belongs to it.
    QTest::newRow("saved by nobody in G") << "0:G 664 member 65534:G 664";
    // Neither can be kept: the save goes on, the new file the saver's.
    QTest::newRow("saved by nobody outside G") << "0:G 666 other 65534:65534 666";
}

// Gives `path` (in a folder of its own) the row's old ownership, lets the
// row's saver run `save`, and compares what the saved file has.
inline void check(const QString &path, const std::function<bool()> &save)
{
    QFETCH(QString, change);
    const group *found = ::getgrnam("games");
    found = found ? found : ::getgrnam("users");
    if (::geteuid() != 0 || !found)
        QSKIP("Needs root and a group besides root's and nobody's");
    const QString groupId = QString::number(found->gr_gid);
    const QStringList parts = change.replace('G', groupId).split(QRegExp("[: ]"));
    const QByteArray name = QFile::encodeName(path);
    QVERIFY(::chown(name.constData(), parts[0].toUInt(), parts[1].toUInt()) == 0 &&
            ::chmod(name.constData(), parts[2].toUInt(nullptr, 8)) == 0 &&
            ::chmod(QFile::encodeName(QFileInfo(path).path()).constData(), 0777) == 0);
    ChildRun::Limits nobody{true};
    nobody.group = parts[3] == "member" ? found->gr_gid : gid_t(-1);
    const ChildRun::Result result =
        parts[3] == "root" ? ChildRun::Result(save()) : ChildRun::run(nobody, save);
    if (result == ChildRun::Unavailable)
        QSKIP("This machine does not let the test change its user");
    QCOMPARE(result, ChildRun::Succeeded);
    struct stat info = {};
    ::stat(name.constData(), &info);
    QCOMPARE(QStringLiteral("%1:%2 %3")
                 .arg(info.st_uid)
                 .arg(info.st_gid)
                 .arg(info.st_mode & 07777, 0, 8),
             change.section(' ', 3));
}

} // namespace OwnedSave
