#pragma once

#include "CFileVBSP.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <initializer_list>

// Listing text built by hand: each line ends with CR LF as the writer ends it.
inline QByteArray crlf(std::initializer_list<const char *> lines)
{
    QByteArray out;
    for (const char *line : lines)
        out.append(line).append("\r\n");
    return out;
}

// One type "t" (density 0) holding one group "g" (alpha 1) holding one prop
// "p" with the given key lines, in the writer's layout.
inline QByteArray propFile(const QList<QByteArray> &keyLines)
{
    QByteArray out = crlf({"detail", "{", "\tt", "\t{", "\t\t\"density\" \"0\"", "", "\t\tg",
                           "\t\t{", "\t\t\t\"alpha\" \"1\"", "", "\t\t\tp", "\t\t\t{"});
    for (const QByteArray &line : keyLines)
        out.append("\t\t\t\t").append(line).append("\r\n");
    return out + crlf({"\t\t\t}", "\t\t}", "\t}", "}"});
}

// The same frame around a prop built in code.
inline CDetailProp *framedProp(CFileVBSP &document)
{
    auto *type = new CDetailType;
    type->name = "t";
    auto *group = new CDetailGroup;
    group->name = "g";
    group->alpha = 1;
    auto *prop = new CDetailProp;
    prop->name = "p";
    group->props.push_back(prop);
    type->groups.push_back(group);
    document.types.push_back(type);
    return prop;
}

// The tree of a document as text: "type(density)[group(alpha)[prop,prop]]".
inline QString outline(const CFileVBSP &document)
{
    QStringList types;
    for (const CDetailType *type : document.types) {
        QStringList groups;
        for (const CDetailGroup *group : type->groups) {
            QStringList props;
            for (const CDetailProp *prop : group->props)
                props << QString::fromStdString(prop->name);
            groups << QString::asprintf("%s(%g)[", group->name.c_str(), group->alpha) +
                          props.join(',') + ']';
        }
        types << QString::asprintf("%s(%g)[", type->name.c_str(), type->density) +
                     groups.join(',') + ']';
    }
    return types.join(' ');
}
