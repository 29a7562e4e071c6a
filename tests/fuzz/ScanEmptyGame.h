#pragma once

#include "CScanFoundList.h"
#include "MaterialScanner.h"

#include <QStringList>
#include <QTemporaryDir>

// The dependency scan of a model or collision model, against an empty game
// folder: every path the file names is built and admitted, nothing is found.
template <typename Model>
void scanEmptyGame(const Model &model)
{
    const QTemporaryDir game;
    CScanFoundList found;
    QStringList errors;
    model.scanDependencies(found, MaterialKeys(), game.path() + QLatin1Char('/'), &errors);
}
